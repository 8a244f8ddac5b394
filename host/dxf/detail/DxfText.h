#pragma once
// Text of DXF files: the bytes of a version and code page into wide text and back, the
// special codes of texts.
#include <string>

#include "host/win/CString.h"

namespace vkdxf {

class TextCodec {
public:
    // acadver "AC1021" and later hold UTF-8; earlier files the code page "ANSI_nnn".
    TextCodec(const std::string& acadver, const std::string& dwgCodePage);
    // Bytes to text; \U+XXXX and \M+nXXXX escapes become their characters.
    CString decode(const std::string& bytes) const;

private:
    bool m_utf8 = false;
    bool m_trustPage = false;  // a code page other than the Western default was declared
    unsigned m_codePage = 1252;
};

// %%d, %%p, %%c and %%nnn of single-line texts as characters; %%u and %%o dropped.
CString DecodeTextSpecials(const CString& s);
// Text as bytes of code page 936; characters it cannot hold as \U+XXXX.
std::string EncodeCp936(const CString& s);

}  // namespace vkdxf
