// Reads the resources of the built LogLevelTool.exe as stored bytes, each under its exact language.

#include "System.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr WORD Neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
constexpr WORD EnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

class ToolResources : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module = LoadLibraryExW(sys::BesideTestProgram(LOGLEVELTOOL_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }

    static void TearDownTestSuite()
    {
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }

    void SetUp() override
    {
        const std::wstring path = sys::BesideTestProgram(LOGLEVELTOOL_EXE);
        ASSERT_NE(nullptr, module) << "cannot load " << std::string(path.begin(), path.end());
    }

    static std::vector<BYTE> Resource(LPCWSTR type, WORD id, WORD language)
    {
        const HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
        if (found == nullptr) {
            return {};
        }
        const HGLOBAL loaded = LoadResource(module, found);
        const auto* bytes = static_cast<const BYTE*>(LockResource(loaded));
        return std::vector<BYTE>(bytes, bytes + SizeofResource(module, found));
    }

    static HMODULE module;
};

HMODULE ToolResources::module = nullptr;

// Reads a dialog template field by field, as the dialog manager does.
class TemplateReader {
public:
    explicit TemplateReader(const std::vector<BYTE>& bytes) : data(bytes) {}

    WORD Word()
    {
        WORD value = 0;
        Copy(&value, sizeof(value));
        return value;
    }
    DWORD Dword()
    {
        DWORD value = 0;
        Copy(&value, sizeof(value));
        return value;
    }
    short Short() { return static_cast<short>(Word()); }

    // A string, or an ordinal written as 0xFFFF and a number ("#n").
    std::wstring SzOrOrdinal()
    {
        const WORD first = Word();
        if (first == 0xFFFF) {
            return L"#" + std::to_wstring(Word());
        }
        std::wstring text;
        for (WORD c = first; c != 0; c = Word()) {
            text += static_cast<wchar_t>(c);
        }
        return text;
    }

    void AlignDword() { offset = (offset + 3) & ~std::size_t{3}; }
    std::size_t Offset() const { return offset; }
    bool Overrun() const { return overrun; }

private:
    void Copy(void* out, std::size_t size)
    {
        if (offset + size > data.size()) {
            overrun = true;
            return;
        }
        std::memcpy(out, data.data() + offset, size);
        offset += size;
    }

    const std::vector<BYTE>& data;
    std::size_t offset = 0;
    bool overrun = false;
};

TEST_F(ToolResources, DialogTemplateHeader)
{
    const auto bytes = Resource(RT_DIALOG, 129, Neutral);
    ASSERT_FALSE(bytes.empty()) << "template 129 in language 0x0400";
    TemplateReader r(bytes);
    EXPECT_EQ(1, r.Word()) << "dlgVer";
    EXPECT_EQ(0xFFFF, r.Word()) << "signature";
    EXPECT_EQ(0u, r.Dword()) << "helpID";
    EXPECT_EQ(0u, r.Dword()) << "exStyle";
    EXPECT_EQ(0x80C808C8u, r.Dword()) << "style";
    EXPECT_EQ(7, r.Word()) << "cDlgItems";
    EXPECT_EQ(0, r.Short()) << "x";
    EXPECT_EQ(0, r.Short()) << "y";
    EXPECT_EQ(377, r.Short()) << "cx";
    EXPECT_EQ(243, r.Short()) << "cy";
    EXPECT_EQ(L"", r.SzOrOrdinal()) << "menu";
    EXPECT_EQ(L"", r.SzOrOrdinal()) << "window class";
    EXPECT_EQ(L"Orvane Log Level Tool", r.SzOrOrdinal()) << "title";
    EXPECT_EQ(8, r.Word()) << "pointsize";
    EXPECT_EQ(400, r.Word()) << "weight";
    EXPECT_EQ(0, bytes[r.Offset()]) << "italic";
    EXPECT_EQ(1, bytes[r.Offset() + 1]) << "charset";
    r.Word();
    EXPECT_EQ(L"MS Shell Dlg", r.SzOrOrdinal()) << "typeface";
    EXPECT_FALSE(r.Overrun());
}

TEST_F(ToolResources, DialogTemplateItems)
{
    const struct {
        DWORD id;
        const wchar_t* windowClass;
        const wchar_t* text;
        DWORD style;
        short x, y, cx, cy;
    } expected[] = {
        {1, L"#128", L"OK", 0x50010001, 77, 198, 108, 24},
        {2, L"#128", L"Cancel", 0x50010000, 191, 198, 108, 24},
        {1003, L"#130", L"Orvane Log Level Tool", 0x50020201, 6, 6, 366, 36},
        {0xFFFFFFFF, L"#130", L"Select the log level:", 0x50020200, 30, 108, 234, 18},
        {1001, L"#128", L"Normal logging", 0x50000009, 36, 126, 228, 18},
        {1002, L"#128", L"Full logging", 0x50000009, 36, 144, 228, 18},
        {1004, L"#130",
         L"Use this tool to change how much information is included in the log files that our support tool collects.",
         0x50020000, 18, 60, 336, 30},
    };
    const auto bytes = Resource(RT_DIALOG, 129, Neutral);
    ASSERT_FALSE(bytes.empty());
    TemplateReader r(bytes);
    // Skip the header: fixed part, menu, class, title and font.
    for (int i = 0; i < 13; ++i) {
        r.Word();
    }
    r.SzOrOrdinal();
    r.SzOrOrdinal();
    r.SzOrOrdinal();
    r.Word();
    r.Word();
    r.Word();
    r.SzOrOrdinal();

    int index = 0;
    for (const auto& item : expected) {
        r.AlignDword();
        ++index;
        EXPECT_EQ(0u, r.Dword()) << "item " << index << " helpID";
        EXPECT_EQ(0u, r.Dword()) << "item " << index << " exStyle";
        EXPECT_EQ(item.style, r.Dword()) << "item " << index << " style";
        EXPECT_EQ(item.x, r.Short()) << "item " << index << " x";
        EXPECT_EQ(item.y, r.Short()) << "item " << index << " y";
        EXPECT_EQ(item.cx, r.Short()) << "item " << index << " cx";
        EXPECT_EQ(item.cy, r.Short()) << "item " << index << " cy";
        EXPECT_EQ(item.id, r.Dword()) << "item " << index << " id";
        EXPECT_EQ(std::wstring(item.windowClass), r.SzOrOrdinal()) << "item " << index << " class";
        EXPECT_EQ(std::wstring(item.text), r.SzOrOrdinal()) << "item " << index << " text";
        EXPECT_EQ(0, r.Word()) << "item " << index << " creation data";
    }
    EXPECT_FALSE(r.Overrun());
    r.AlignDword();
    EXPECT_LE(bytes.size(), r.Offset()) << "nothing after the seventh item";
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found)
{
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
    return TRUE;
}

// Lookups fall back between languages, so the stored languages are listed instead.
TEST_F(ToolResources, EachResourceStoredInItsLanguageOnly)
{
    const struct {
        const char* what;
        LPCWSTR type;
        WORD id;
        WORD language;
    } rows[] = {
        {"dialog", RT_DIALOG, 129, Neutral},
        {"icon group", RT_GROUP_ICON, 107, Neutral},
        {"icon image 1", RT_ICON, 1, Neutral},
        {"icon image 4", RT_ICON, 4, Neutral},
        {"manifest", RT_MANIFEST, 1, EnglishUs},
        {"version", RT_VERSION, 1, EnglishUs},
    };
    for (const auto& row : rows) {
        std::vector<WORD> languages;
        EnumResourceLanguagesW(module, row.type, MAKEINTRESOURCEW(row.id), CollectLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(std::vector<WORD>{row.language}, languages) << row.what;
    }
}

TEST_F(ToolResources, IconGroupOfFourDibImages)
{
    const auto group = Resource(RT_GROUP_ICON, 107, Neutral);
    ASSERT_EQ(6u + 4u * 14u, group.size()) << "header and four entries";
    WORD header[3];
    std::memcpy(header, group.data(), sizeof(header));
    EXPECT_EQ(0, header[0]) << "reserved";
    EXPECT_EQ(1, header[1]) << "type icon";
    EXPECT_EQ(4, header[2]) << "count";

    const struct {
        int size;
        DWORD bytes;
        WORD id;
    } images[] = {{128, 67624, 1}, {48, 9640, 2}, {32, 4264, 3}, {16, 1128, 4}};
    for (int i = 0; i < 4; ++i) {
        const BYTE* entry = group.data() + 6 + 14 * i;
        WORD planes = 0, bitCount = 0, id = 0;
        DWORD bytes = 0;
        std::memcpy(&planes, entry + 4, 2);
        std::memcpy(&bitCount, entry + 6, 2);
        std::memcpy(&bytes, entry + 8, 4);
        std::memcpy(&id, entry + 12, 2);
        const auto& want = images[i];
        EXPECT_EQ(want.size & 0xFF, entry[0]) << "entry " << i << " width";
        EXPECT_EQ(want.size & 0xFF, entry[1]) << "entry " << i << " height";
        EXPECT_EQ(0, entry[2]) << "entry " << i << " colours";
        EXPECT_EQ(1, planes) << "entry " << i << " planes";
        EXPECT_EQ(32, bitCount) << "entry " << i << " bits";
        EXPECT_EQ(want.bytes, bytes) << "entry " << i << " byte size";
        EXPECT_EQ(want.id, id) << "entry " << i << " image id";

        const auto image = Resource(RT_ICON, want.id, Neutral);
        ASSERT_EQ(want.bytes, image.size()) << "image " << want.id;
        BITMAPINFOHEADER info{};
        std::memcpy(&info, image.data(), sizeof(info));
        EXPECT_EQ(40u, info.biSize) << "image " << want.id << " is a DIB, not PNG";
        EXPECT_EQ(want.size, info.biWidth) << "image " << want.id;
        EXPECT_EQ(2 * want.size, info.biHeight) << "image " << want.id << ": colour and mask";
        EXPECT_EQ(1, info.biPlanes) << "image " << want.id;
        EXPECT_EQ(32, info.biBitCount) << "image " << want.id;
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), info.biCompression) << "image " << want.id;
    }
}

TEST_F(ToolResources, ManifestSettings)
{
    const auto bytes = Resource(RT_MANIFEST, 1, EnglishUs);
    ASSERT_FALSE(bytes.empty());
    const std::string xml(bytes.begin(), bytes.end());
    const char* required[] = {
        "manifestVersion=\"1.0\"",
        "name=\"Microsoft.Windows.Common-Controls\"",
        "version=\"6.0.0.0\"",
        "processorArchitecture=\"*\"",
        "publicKeyToken=\"6595b64144ccf1df\"",
        "language=\"*\"",
        "level=\"requireAdministrator\"",
        "uiAccess=\"false\"",
        ">True/PM</dpiAware>",
        "Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"",
        "Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"",
        "Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"",
        "Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"",
        "Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"",
    };
    for (const char* text : required) {
        EXPECT_NE(std::string::npos, xml.find(text)) << "missing " << text;
    }
    std::size_t count = 0;
    for (auto at = xml.find("<supportedOS"); at != std::string::npos; at = xml.find("<supportedOS", at + 1)) {
        ++count;
    }
    EXPECT_EQ(5u, count) << "supportedOS entries";
}

TEST_F(ToolResources, VersionBlock)
{
    auto block = Resource(RT_VERSION, 1, EnglishUs);
    ASSERT_FALSE(block.empty());

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), length);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(DWORD{VERSION_MAJOR} << 16 | DWORD{VERSION_MINOR}, fixed->dwFileVersionMS) << "major and minor";
    EXPECT_EQ(DWORD{VERSION_PATCH} << 16 | DWORD{VERSION_TWEAK}, fixed->dwFileVersionLS) << "patch and tweak";
    EXPECT_EQ(DWORD{VERSION_MAJOR} << 16 | DWORD{VERSION_MINOR}, fixed->dwProductVersionMS);
    EXPECT_EQ(DWORD{VERSION_PATCH} << 16 | DWORD{VERSION_TWEAK}, fixed->dwProductVersionLS);
    EXPECT_EQ(0u, fixed->dwFileFlagsMask);
    EXPECT_EQ(0u, fixed->dwFileFlags);
    EXPECT_EQ(static_cast<DWORD>(VOS__WINDOWS32), fixed->dwFileOS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    EXPECT_EQ(0u, fixed->dwFileSubtype);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0409, translation[0]);
    EXPECT_EQ(0x04E4, translation[1]);

    const auto text = [&](const wchar_t* name, bool& found) {
        wchar_t* value = nullptr;
        UINT chars = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904E4\\") + name;
        found = VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &chars) != 0;
        return found && value != nullptr ? std::wstring(value) : std::wstring();
    };
    const struct {
        const wchar_t* name;
        const wchar_t* value;  // null: present and not empty
    } strings[] = {
        {L"FileDescription", L"Tool to change log level"},
        {L"FileVersion", VERSION_TEXT},
        {L"ProductVersion", VERSION_TEXT},
        {L"Comments", L""},
        {L"CompanyName", nullptr},
        {L"ProductName", nullptr},
        {L"LegalCopyright", nullptr},
        {L"LegalTrademarks", nullptr},
        {L"InternalName", nullptr},
        {L"OriginalFilename", L"LogLevelTool.exe"},
    };
    for (const auto& entry : strings) {
        bool found = false;
        const std::wstring value = text(entry.name, found);
        const std::string name(entry.name, entry.name + wcslen(entry.name));
        EXPECT_TRUE(found) << name;
        if (entry.value != nullptr) {
            EXPECT_EQ(std::wstring(entry.value), value) << name;
        } else {
            EXPECT_FALSE(value.empty()) << name;
        }
    }
}

}  // namespace
