#include "shell/file_type_table.h"

#include "engine/text_buffer.h"

namespace {

// Index, list texts, registrations in order (extension, ProgID suffix), icon, images-only.
// clang-format off
const FileTypeRow kRows[kFileTypeRowCount] = {
    {0, L"ANI", L"Animated Windows Cursors *", 1, {{L"ani", L"ani"}}, IconSource::Self, true},
    {1, L"B3D", L"BodyPaint 3D Format *", 1, {{L"b3d", L"b3d"}}, IconSource::ViewerIcon0, true},
    {2, L"BMP/DIB", L"Windows Bitmap", 2, {{L"bmp", L"bmp"}, {L"dib", L"bmp"}}, IconSource::ViewerIcon0, true},
    {3, L"CLP", L"Windows Clipboard *", 1, {{L"clp", L"clp"}}, IconSource::ViewerIcon0, true},
    {4, L"CRW/CR2/CR3", L"Canon RAW Format *", 3, {{L"crw", L"crw"}, {L"cr2", L"cr2"}, {L"cr3", L"cr3"}}, IconSource::ViewerIcon0, true},
    {5, L"CUR", L"Windows Cursor", 1, {{L"cur", L"cur"}}, IconSource::Self, true},
    {6, L"DCM/ACR/IMA", L"DICOM Format *", 3, {{L"dcm", L"dcm"}, {L"acr", L"dcm"}, {L"ima", L"dcm"}}, IconSource::ViewerIcon0, true},
    {7, L"DCX", L"Multipage Zsoft Paintbrush", 1, {{L"dcx", L"dcx"}}, IconSource::ViewerIcon0, true},
    {8, L"DDS", L"Direct Draw Surface *", 1, {{L"dds", L"dds"}}, IconSource::ViewerIcon0, true},
    {9, L"DJVU/IW44", L"DjVu Format *", 2, {{L"djvu", L"djvu"}, {L"iw44", L"djvu"}}, IconSource::ViewerIcon0, true},
    {10, L"DXF", L"Drawing Interchange Format *", 1, {{L"dxf", L"dxf"}}, IconSource::ViewerIcon0, true},
    {11, L"ECW", L"Enhanced Compressed Wavelet *", 1, {{L"ecw", L"ecw"}}, IconSource::ViewerIcon0, true},
    {12, L"EMF", L"Enhanced Windows Metafile", 1, {{L"emf", L"emf"}}, IconSource::ViewerIcon0, true},
    {13, L"EPS/PS", L"PostScript Format *", 2, {{L"eps", L"eps"}, {L"ps", L"eps"}}, IconSource::ViewerIcon0, true},
    {14, L"EXR", L"EXR Format *", 1, {{L"exr", L"exr"}}, IconSource::ViewerIcon0, true},
    {15, L"G3", L"G3 FAX Format *", 1, {{L"g3", L"g3"}}, IconSource::ViewerIcon0, true},
    {16, L"GIF", L"Compuserve GIF", 1, {{L"gif", L"gif"}}, IconSource::ViewerIcon0, true},
    {17, L"HDP/JXR/WDP", L"JPEG-XR/HD-Photo Format *", 3, {{L"hdp", L"hdp"}, {L"jxr", L"hdp"}, {L"wdp", L"hdp"}}, IconSource::ViewerIcon0, true},
    {18, L"HEIC", L"High Efficiency Image File Format *", 1, {{L"heic", L"heic"}}, IconSource::ViewerIcon0, true},
    {19, L"ICO", L"Windows Icon", 1, {{L"ico", L"ico"}}, IconSource::Self, true},
    {20, L"IFF/LBM", L"Amiga Interchange File Format *", 2, {{L"iff", L"iff"}, {L"lbm", L"iff"}}, IconSource::ViewerIcon0, true},
    {21, L"JLS", L"JPEG-LS Format *", 1, {{L"jls", L"jls"}}, IconSource::ViewerIcon0, true},
    {22, L"JP2/JPC/J2K", L"JPEG2000 Format *", 3, {{L"jp2", L"jp2"}, {L"jpc", L"jp2"}, {L"j2k", L"jp2"}}, IconSource::ViewerIcon0, true},
    {23, L"JPG/JPEG/JFIF/JPE", L"JPEG Format", 4, {{L"jpg", L"jpg"}, {L"jpeg", L"jpg"}, {L"jfif", L"jpg"}, {L"jpe", L"jpg"}}, IconSource::ViewerIcon0, true},
    {24, L"JPM", L"JPM Format *", 1, {{L"jpm", L"jpm"}}, IconSource::ViewerIcon0, true},
    {25, L"JXL", L"JPEG XL Format *", 1, {{L"jxl", L"jxl"}}, IconSource::ViewerIcon0, true},
    {26, L"MNG/JNG", L"Multiple Network Graphics *", 2, {{L"mng", L"mng"}, {L"jng", L"jng"}}, IconSource::ViewerIcon0, true},
    {27, L"PBM", L"Portable Bitmap", 1, {{L"pbm", L"pbm"}}, IconSource::ViewerIcon0, true},
    {28, L"PCD", L"Kodak Photo CD", 1, {{L"pcd", L"pcd"}}, IconSource::ViewerIcon0, true},
    {29, L"PCX", L"Zsoft Paintbrush", 1, {{L"pcx", L"pcx"}}, IconSource::ViewerIcon0, true},
    {30, L"PGM", L"Portable Greymap", 1, {{L"pgm", L"pgm"}}, IconSource::ViewerIcon0, true},
    {31, L"PNG", L"Portable Network Graphics", 1, {{L"png", L"png"}}, IconSource::ViewerIcon0, true},
    {32, L"PPM", L"Portable Pixelmap", 1, {{L"ppm", L"ppm"}}, IconSource::ViewerIcon0, true},
    {33, L"PSD", L"Adobe Photoshop Image", 1, {{L"psd", L"psd"}}, IconSource::ViewerIcon0, true},
    {34, L"PSP", L"Paint Shop Pro Image *", 1, {{L"psp", L"psp"}}, IconSource::ViewerIcon0, true},
    {35, L"QOI", L"Quite OK Image *", 1, {{L"qoi", L"qoi"}}, IconSource::ViewerIcon0, true},
    {36, L"RAS/SUN", L"Sun Raster Format *", 2, {{L"ras", L"ras"}, {L"sun", L"ras"}}, IconSource::ViewerIcon0, true},
    {37, L"RAW", L"RAW Image Data *", 1, {{L"raw", L"raw"}}, IconSource::ViewerIcon0, true},
    {38, L"RLE", L"Utah RLE Format *", 1, {{L"rle", L"rle"}}, IconSource::ViewerIcon0, true},
    {39, L"SFF", L"Structured Fax Format *", 1, {{L"sff", L"sff"}}, IconSource::ViewerIcon0, true},
    {40, L"SGI/RGB", L"Silicon Graphics Image *", 2, {{L"sgi", L"sgi"}, {L"rgb", L"sgi"}}, IconSource::ViewerIcon0, true},
    {41, L"SID", L"LizardTech MrSID Format *", 1, {{L"sid", L"sid"}}, IconSource::ViewerIcon0, true},
    {42, L"TGA", L"Truevision Targa", 1, {{L"tga", L"tga"}}, IconSource::ViewerIcon0, true},
    {43, L"TIF/TIFF", L"Tagged Image File Format", 2, {{L"tif", L"tif"}, {L"tiff", L"tif"}}, IconSource::ViewerIcon0, true},
    {44, L"WBMP", L"WAP Bitmap *", 1, {{L"wbmp", L"wbmp"}}, IconSource::ViewerIcon0, true},
    {45, L"WEBP", L"Weppy Format *", 1, {{L"webp", L"webp"}}, IconSource::ViewerIcon0, true},
    {46, L"WMF", L"Windows Metafile", 1, {{L"wmf", L"wmf"}}, IconSource::ViewerIcon0, true},
    {47, L"XBM", L"X-Bitmap *", 1, {{L"xbm", L"xbm"}}, IconSource::ViewerIcon0, true},
    {48, L"XPM", L"X-Pixmap *", 1, {{L"xpm", L"xpm"}}, IconSource::ViewerIcon0, true},
    {49, L"SWF/FLV", L"Macromedia Flash Format *", 2, {{L"swf", L"swf"}, {L"flv", L"flv"}}, IconSource::ViewerIcon0, false},
    {50, L"TTF", L"True Type Font Format *", 1, {{L"ttf", L"ttf"}}, IconSource::ViewerIcon0, false},
    {51, L"ASF", L"Advanced Systems Format *", 1, {{L"asf", L"asf"}}, IconSource::ViewerIcon9, false},
    {52, L"AVI", L"Video for Windows *", 1, {{L"avi", L"avi"}}, IconSource::ViewerIcon9, false},
    {53, L"MPG/MPE/MPEG", L"MPEG Movie *", 3, {{L"mpg", L"mpg"}, {L"mpe", L"mpe"}, {L"mpeg", L"mpg"}}, IconSource::ViewerIcon9, false},
    {54, L"MOV", L"Apple QuickTime Movie *", 1, {{L"mov", L"mov"}}, IconSource::ViewerIcon9, false},
    {55, L"WMV", L"Windows Media Video File *", 1, {{L"wmv", L"wmv"}}, IconSource::ViewerIcon9, false},
    {56, L"AIF", L"Audio Interchange Format *", 1, {{L"aif", L"aif"}}, IconSource::ViewerIcon8, false},
    {57, L"MID/RMI", L"MIDI Sound Format *", 2, {{L"mid", L"mid"}, {L"rmi", L"rmi"}}, IconSource::ViewerIcon8, false},
    {58, L"MP3", L"MPEG Audio Format *", 1, {{L"mp3", L"mp3"}}, IconSource::ViewerIcon8, false},
    {59, L"OGG", L"Ogg Vorbis Audio Format *", 1, {{L"ogg", L"ogg"}}, IconSource::ViewerIcon8, false},
    {60, L"AU/SND", L"SUN Audio Format *", 2, {{L"au", L"au"}, {L"snd", L"au"}}, IconSource::ViewerIcon8, false},
    {61, L"WAV", L"Windows Audio Format *", 1, {{L"wav", L"wav"}}, IconSource::ViewerIcon8, false},
    {62, L"WMA", L"Windows Media Audio File *", 1, {{L"wma", L"wma"}}, IconSource::ViewerIcon8, false},
};
// clang-format on

} // namespace

const FileTypeRow* FileTypeRowAt(int index) {
    if (index < 0 || index >= kFileTypeRowCount)
        return nullptr;
    return &kRows[index];
}

void SelectImagesOnly(int flags[kAssociationFlagCount]) {
    for (int i = 0; i < kAssociationFlagCount; ++i)
        flags[i] = i < kImagesOnlyRowCount ? 1 : 0;
}

void SelectAllFileTypes(int flags[kAssociationFlagCount]) {
    for (int i = 0; i < kAssociationFlagCount; ++i)
        flags[i] = 1;
}

void SelectNoFileTypes(int flags[kAssociationFlagCount]) {
    for (int i = 0; i < kAssociationFlagCount; ++i)
        flags[i] = 0;
}

bool BuildIconText(IconSource icon, const wchar_t* viewerPath, wchar_t* out, std::size_t capacity) {
    switch (icon) {
    case IconSource::Self:
        return CopyText(out, capacity, L"%1");
    case IconSource::ViewerIcon0:
        return FormatText(out, capacity, L"%ls,0", viewerPath);
    case IconSource::ViewerIcon9:
        return FormatText(out, capacity, L"%ls,9", viewerPath);
    case IconSource::ViewerIcon8:
        return FormatText(out, capacity, L"%ls,8", viewerPath);
    }
    if (capacity > 0)
        out[0] = L'\0';
    return false;
}
