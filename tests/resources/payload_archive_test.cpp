// The payload archive as the installer carries it (resource ZIP 1974 of
// setup.exe), walked record by record: PKZIP 2.0 form, entry order, and the
// data of every entry inflated and checked against its CRC.
#include <windows.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "resources/resource_reader.h"
#include "support/wide_print.h"

namespace {

template <typename T> T At(const std::string& bytes, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size())
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

struct Entry {
    WORD madeBy, needed, flags, method, time, date;
    DWORD crc, packed, size, external, localOffset;
    WORD extraLength, commentLength, disk;
    std::string name;
};

class PayloadArchive : public ::testing::Test {
  protected:
    void SetUp() override {
        UniqueModule module = LoadAsDataFile(PEL_SETUP_EXE);
        ASSERT_TRUE(module);
        ASSERT_TRUE(ReadResource(module.get(), L"ZIP", IDR_PAYLOAD, &zip_));
        ASSERT_GE(zip_.size(), 22u);
        // No archive comment: the end record is the last 22 bytes.
        eocd_ = zip_.size() - 22;
        ASSERT_EQ(At<DWORD>(zip_, eocd_), 0x06054b50u);
        WORD count = At<WORD>(zip_, eocd_ + 10);
        DWORD cdSize = At<DWORD>(zip_, eocd_ + 12);
        DWORD cdOffset = At<DWORD>(zip_, eocd_ + 16);
        ASSERT_EQ(static_cast<size_t>(cdOffset) + cdSize, eocd_);
        size_t p = cdOffset;
        for (WORD i = 0; i < count; ++i) {
            ASSERT_EQ(At<DWORD>(zip_, p), 0x02014b50u) << "central record " << i;
            Entry e;
            e.madeBy = At<WORD>(zip_, p + 4);
            e.needed = At<WORD>(zip_, p + 6);
            e.flags = At<WORD>(zip_, p + 8);
            e.method = At<WORD>(zip_, p + 10);
            e.time = At<WORD>(zip_, p + 12);
            e.date = At<WORD>(zip_, p + 14);
            e.crc = At<DWORD>(zip_, p + 16);
            e.packed = At<DWORD>(zip_, p + 20);
            e.size = At<DWORD>(zip_, p + 24);
            WORD nameLength = At<WORD>(zip_, p + 28);
            e.extraLength = At<WORD>(zip_, p + 30);
            e.commentLength = At<WORD>(zip_, p + 32);
            e.disk = At<WORD>(zip_, p + 34);
            e.external = At<DWORD>(zip_, p + 38);
            e.localOffset = At<DWORD>(zip_, p + 42);
            ASSERT_LE(p + 46 + nameLength, eocd_);
            e.name.assign(zip_, p + 46, nameLength);
            entries_.push_back(e);
            p += 46 + nameLength + e.extraLength + e.commentLength;
        }
        ASSERT_EQ(p, eocd_);
    }

    static bool IsFolder(const Entry& e) { return !e.name.empty() && e.name.back() == '/'; }

    // Inflates the raw deflate data of e; false on any zlib error.
    bool Inflate(const Entry& e, size_t dataOffset, std::string* out) {
        out->assign(e.size, '\0');
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
            return false;
        z.next_in = reinterpret_cast<Bytef*>(&zip_[dataOffset]);
        z.avail_in = e.packed;
        z.next_out = reinterpret_cast<Bytef*>(out->empty() ? nullptr : &(*out)[0]);
        z.avail_out = e.size;
        int r = inflate(&z, Z_FINISH);
        inflateEnd(&z);
        return r == Z_STREAM_END && z.total_out == e.size;
    }

    std::string zip_;
    size_t eocd_ = 0;
    std::vector<Entry> entries_;
};

TEST_F(PayloadArchive, EndRecordIsPlainSingleDiskWithoutCommentOrZip64) {
    EXPECT_EQ(At<WORD>(zip_, eocd_ + 4), 0); // this disk
    EXPECT_EQ(At<WORD>(zip_, eocd_ + 6), 0); // disk of the directory
    EXPECT_EQ(At<WORD>(zip_, eocd_ + 8), At<WORD>(zip_, eocd_ + 10));
    EXPECT_EQ(At<WORD>(zip_, eocd_ + 20), 0); // comment length
    EXPECT_EQ(entries_.size(), 43u);
    if (eocd_ >= 20) {
        EXPECT_NE(At<DWORD>(zip_, eocd_ - 20), 0x07064b50u) << "zip64 locator present";
    }
    EXPECT_EQ(zip_.find("PK\x06\x06"), std::string::npos) << "zip64 end record present";
}

// PKZIP 2.0 on MS-DOS, flag bit 1 everywhere, no data descriptors, no extras;
// folders stored with 0x30 (Plugins/Plugins32/ 0x10), files deflated with 0x20.
TEST_F(PayloadArchive, EveryEntryHasThePkzip20FormAndItsAttributes) {
    for (const Entry& e : entries_) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.madeBy, 20); // version 2.0, host byte 0 (MS-DOS)
        EXPECT_EQ(e.needed, 20);
        EXPECT_EQ(e.flags & 0x0002, 0x0002);
        EXPECT_EQ(e.flags & 0x0009, 0); // no encryption, no data descriptor
        EXPECT_EQ(e.extraLength, 0);
        EXPECT_EQ(e.commentLength, 0);
        EXPECT_EQ(e.disk, 0);
        if (IsFolder(e)) {
            EXPECT_EQ(e.method, 0);
            EXPECT_EQ(e.size, 0u);
            EXPECT_EQ(e.packed, 0u);
            EXPECT_EQ(e.external, e.name == "Plugins/Plugins32/" ? 0x10u : 0x30u);
        } else {
            EXPECT_EQ(e.method, 8);
            EXPECT_EQ(e.external, 0x20u);
        }
        // The local header repeats the central record.
        size_t p = e.localOffset;
        ASSERT_LT(p + 30, zip_.size());
        EXPECT_EQ(At<DWORD>(zip_, p), 0x04034b50u);
        EXPECT_EQ(At<WORD>(zip_, p + 4), 20);
        EXPECT_EQ(At<WORD>(zip_, p + 6), e.flags);
        EXPECT_EQ(At<WORD>(zip_, p + 8), e.method);
        EXPECT_EQ(At<DWORD>(zip_, p + 14), e.crc);
        EXPECT_EQ(At<DWORD>(zip_, p + 18), e.packed);
        EXPECT_EQ(At<DWORD>(zip_, p + 22), e.size);
        EXPECT_EQ(At<WORD>(zip_, p + 26), e.name.size());
        EXPECT_EQ(At<WORD>(zip_, p + 28), 0); // no extra field
        EXPECT_EQ(zip_.compare(p + 30, e.name.size(), e.name), 0);
    }
}

TEST_F(PayloadArchive, EveryFileInflatesToItsSizeAndCrc) {
    for (const Entry& e : entries_) {
        if (IsFolder(e))
            continue;
        SCOPED_TRACE(e.name);
        size_t data = e.localOffset + 30 + e.name.size();
        ASSERT_LE(data + e.packed, zip_.size());
        std::string content;
        ASSERT_TRUE(Inflate(e, data, &content));
        uLong crc = crc32(0L, Z_NULL, 0);
        if (!content.empty())
            crc = crc32(crc, reinterpret_cast<const Bytef*>(content.data()),
                        static_cast<uInt>(content.size()));
        EXPECT_EQ(crc, e.crc);
    }
}

// Extraction creates folders from their own entries: each must come before
// the entries inside it, and the entries the installer relies on sit where
// other code expects them.
TEST_F(PayloadArchive, FoldersPrecedeTheirEntriesAndKeyEntriesSitInPlace) {
    ASSERT_EQ(entries_.size(), 43u);
    std::vector<std::string> seenFolders;
    int folders = 0;
    for (const Entry& e : entries_) {
        size_t slash = e.name.rfind('/', e.name.size() - (IsFolder(e) ? 2 : 1));
        if (slash != std::string::npos) {
            std::string parent = e.name.substr(0, slash + 1);
            bool seen = false;
            for (const std::string& f : seenFolders)
                seen = seen || f == parent;
            EXPECT_TRUE(seen) << e.name << " before its folder " << parent;
        }
        if (IsFolder(e)) {
            seenFolders.push_back(e.name);
            ++folders;
        }
    }
    EXPECT_EQ(folders, 6);
    EXPECT_EQ(entries_[0].name, "Languages/");
    EXPECT_EQ(entries_[1].name, "Languages/Deutsch.dll");
    EXPECT_EQ(entries_[2].name, "Plugins/");
    EXPECT_EQ(entries_[4].name, "Plugins/Icons.dll");
    EXPECT_EQ(entries_[33].name, "p_lumb64.exe");
    EXPECT_EQ(entries_[34].name, "pl_uninstall.exe");
}

#if PEL_STAND_IN_PAYLOAD
// The stand-in built from payload/: exactly these names in this order, every
// entry stamped 2026-02-02 04:06:00 so the archive is reproducible.
TEST_F(PayloadArchive, StandInHoldsTheFullEntryListInOrder) {
    const char* const names[] = {
        "Languages/",
        "Languages/Deutsch.dll",
        "Plugins/",
        "Plugins/Formats.dll",
        "Plugins/Icons.dll",
        "Plugins/Effects.dll",
        "Plugins/Jpeg_Transform.dll",
        "Plugins/Slideshow.dll",
        "Plugins/Paint.dll",
        "Plugins/Scan.dll",
        "Plugins/Media.dll",
        "Plugins/Video.dll",
        "Plugins/Ocr.dll",
        "Plugins/Print.dll",
        "Plugins/Crop.exe",
        "Plugins/Plugins32/",
        "Plugins/Plugins32/Scan32.dll",
        "Help/",
        "Help/p_lumb32_deutsch.chm",
        "Html/",
        "Html/Index_Template.html",
        "Html/Slideshow_Template.html",
        "Html/Thumbnails_Template.html",
        "Html/Html_Vorlagen.txt",
        "Toolbars/",
        "Toolbars/Slate_16.png",
        "Toolbars/Slate_16.txt",
        "Toolbars/Ember_24.png",
        "Toolbars/Ember_24.txt",
        "Toolbars/gnome-colors-wise_32.png",
        "Toolbars/gnome-colors-wise_32.txt",
        "Toolbars/gnome-colors-human_48.png",
        "Toolbars/gnome-colors-human_48.txt",
        "p_lumb64.exe",
        "pl_uninstall.exe",
        "p_about.txt",
        "p_changes.txt",
        "p_languages.txt",
        "p_options.txt",
        "p_plugins.txt",
        "p_lumb32.chm",
        "p_readme_zip.txt",
        "Languages/Plugins_Deutsch.lng",
    };
    ASSERT_EQ(entries_.size(), sizeof names / sizeof names[0]);
    for (size_t i = 0; i < entries_.size(); ++i) {
        EXPECT_EQ(entries_[i].name, names[i]) << "entry " << i + 1;
        EXPECT_EQ(entries_[i].date, ((2026 - 1980) << 9) | (2 << 5) | 2);
        EXPECT_EQ(entries_[i].time, (4 << 11) | (6 << 5));
    }
}

// The skins are real PNG images of the heights their names promise.
TEST_F(PayloadArchive, ToolbarSkinsArePngImagesOfTheirNamedHeight) {
    const struct {
        const char* name;
        unsigned height;
    } skins[] = {{"Toolbars/Slate_16.png", 16},
                 {"Toolbars/Ember_24.png", 24},
                 {"Toolbars/gnome-colors-wise_32.png", 32},
                 {"Toolbars/gnome-colors-human_48.png", 48}};
    for (const auto& skin : skins) {
        SCOPED_TRACE(skin.name);
        const Entry* found = nullptr;
        for (const Entry& e : entries_)
            found = e.name == skin.name ? &e : found;
        ASSERT_NE(found, nullptr);
        std::string png;
        ASSERT_TRUE(Inflate(*found, found->localOffset + 30 + found->name.size(), &png));
        ASSERT_GT(png.size(), 24u);
        EXPECT_EQ(png.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
        EXPECT_EQ(png.compare(12, 4, "IHDR"), 0);
        auto bigEndian = [&png](size_t at) {
            return (static_cast<unsigned>(static_cast<unsigned char>(png[at])) << 24) |
                   (static_cast<unsigned>(static_cast<unsigned char>(png[at + 1])) << 16) |
                   (static_cast<unsigned>(static_cast<unsigned char>(png[at + 2])) << 8) |
                   static_cast<unsigned>(static_cast<unsigned char>(png[at + 3]));
        };
        EXPECT_EQ(bigEndian(20), skin.height);
        EXPECT_EQ(bigEndian(16) % skin.height, 0u); // a strip of square buttons
    }
}
#endif

} // namespace
