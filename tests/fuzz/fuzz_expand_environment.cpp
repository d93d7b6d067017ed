// ExpandEnvironmentReferences over an environment of the fuzzer's choice (the
// EnvironmentLookup seam).
//
// Input fields: the text to expand; the environment, "NAME=VALUE" entries with
// "|" between them. A name "*N" (N decimal) has a value of N characters, so
// that every length around the limits is near at hand.
//
// Invariants: out is an exact 520-character block and holds at most 519
// characters; the lookup always gets a terminated name of at most 260
// characters without "%", and a value buffer of 260 characters that it may fill
// by the GetEnvironmentVariableW rules; an expansion either equals a plain
// model of the reference rules or, exactly when the model passes a limit (name
// over 260, value over 259, result over 519 characters), is refused with an
// empty out.
#include "fuzz_text.h"

#include "engine/path_helpers.h"

#include <map>

namespace {

class FuzzEnvironment : public EnvironmentLookup {
  public:
    explicit FuzzEnvironment(const std::wstring& list) {
        std::size_t start = 0;
        for (;;) {
            std::size_t bar = list.find(L'|', start);
            std::wstring item = list.substr(start, bar == std::wstring::npos ? bar : bar - start);
            std::size_t eq = item.find(L'=');
            if (eq != std::wstring::npos)
                values_.emplace(item.substr(0, eq), item.substr(eq + 1));
            if (bar == std::wstring::npos)
                break;
            start = bar + 1;
        }
    }

    std::wstring Value(const std::wstring& name) const {
        auto it = values_.find(name);
        if (it != values_.end())
            return it->second;
        if (name.size() > 1 && name.size() < 6 && name[0] == L'*') {
            std::size_t n = 0;
            for (std::size_t i = 1; i < name.size(); ++i) {
                if (name[i] < L'0' || name[i] > L'9')
                    return L"";
                n = n * 10 + static_cast<std::size_t>(name[i] - L'0');
            }
            return std::wstring(n, L'v');
        }
        return L"";
    }

    std::size_t Read(const wchar_t* name, wchar_t* value, std::size_t capacity) override {
        std::size_t length = 0;
        while (length <= 260 && name[length] != L'\0')
            ++length;
        FUZZ_CHECK(length <= 260, "a variable name of more than 260 characters");
        std::wstring key(name, length);
        FUZZ_CHECK(key.find(L'%') == std::wstring::npos, "a name with a percent sign");
        FUZZ_CHECK(capacity == 260, "a value buffer of " + std::to_string(capacity));
        std::wstring v = Value(key);
        if (v.empty())
            return 0;
        if (v.size() + 1 > capacity)
            return v.size() + 1;
        for (std::size_t i = 0; i < v.size(); ++i)
            value[i] = v[i];
        value[v.size()] = L'\0';
        return v.size();
    }

  private:
    std::map<std::wstring, std::wstring> values_;
};

// The reference rules, without any limit; `overLimit` says whether a limit was passed.
std::wstring ModelExpand(const std::wstring& text, const FuzzEnvironment& env, bool& overLimit) {
    overLimit = false;
    std::wstring out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != L'%') {
            out += text[i++];
            continue;
        }
        std::size_t end = text.find(L'%', i + 1);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring name = text.substr(i + 1, end - i - 1);
        if (name.size() > 260)
            overLimit = true;
        std::wstring value = env.Value(name);
        if (value.size() > 259)
            overLimit = true;
        out += value;
        i = end < text.size() ? end + 1 : end;
    }
    if (out.size() > 519)
        overLimit = true;
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields = SplitFuzzFields(data, size, 2);
    std::wstring text = DecodeFuzzText(fields[0]);
    FuzzEnvironment env(DecodeFuzzText(fields[1]));

    ExactWideBuffer in(text);
    ExactWideBuffer out(kExpandedChars, L'#');
    int result = ExpandEnvironmentReferences(in.get(), out.get(), env);
    std::wstring got = out.Text();
    bool overLimit = false;
    std::wstring model = ModelExpand(text, env, overLimit);
    const std::string where = "text " + Printable(text) + " gave " + Printable(got);

    FUZZ_CHECK(got.size() <= 519, where);
    FUZZ_CHECK(in.Text() == text, where + ": the input was changed");
    if (overLimit) {
        FUZZ_CHECK(result == 0 && got.empty(), where + ": a limit was passed");
    } else {
        FUZZ_CHECK(result == 1 && got == model, where + "; model " + Printable(model));
    }
    return 0;
}
