// Reports which face a font request gets and for how many characters of a text it has no glyph.
#include "Commands.h"
#include "Utf8.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

int CmdGlyphs(const Args& a)
{
    std::wstring text;
    if (!ReadUtf8File(a[1], text))
        return 1;
    LOGFONTW lf = {};
    lf.lfHeight = -16;
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(lf.lfFaceName, a[0].c_str(), LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&lf);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    std::vector<WORD> glyphs(text.size() + 1);
    DWORD done =
        GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    if (done == GDI_ERROR)
        return 1;
    int missing = 0;
    for (size_t i = 0; i < text.size(); ++i)
        missing += glyphs[i] == 0xFFFF;
    WriteLine("face=" + ToUtf8(face));
    WriteLine("missing=" + std::to_string(missing));
    return 0;
}
