#include "server/Names.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace {

NameCheck Refuse(std::string reason) {
    NameCheck check;
    check.reason = std::move(reason);
    return check;
}

bool ValidUtf8(const std::string& text) {
    int32_t i = 0;
    const auto length = static_cast<int32_t>(text.size());
    while (i < length) {
        UChar32 c;
        U8_NEXT(text.data(), i, length, c);
        if (c < 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

NameCheck CheckName(const std::string& utf8) {
    if (utf8.size() > 1024) {
        return Refuse("the name is longer than 24 characters");
    }
    if (!ValidUtf8(utf8)) {
        return Refuse("the name is not valid UTF-8");
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) {
        return Refuse("names cannot be checked on this server");
    }
    const icu::UnicodeString normal = nfc->normalize(icu::UnicodeString::fromUTF8(utf8), status);
    if (U_FAILURE(status)) {
        return Refuse("the name cannot be normalised");
    }
    const int32_t characters = normal.countChar32();
    if (characters == 0) {
        return Refuse("the name is empty");
    }
    if (characters > kMaxNameCharacters) {
        return Refuse("the name is longer than 24 characters");
    }
    for (int32_t i = 0; i < normal.length(); i = normal.moveIndex32(i, 1)) {
        const UChar32 c = normal.char32At(i);
        switch (u_charType(c)) {
            case U_CONTROL_CHAR:
                return Refuse("the name contains a control character");
            case U_FORMAT_CHAR:
                return Refuse("the name contains an invisible formatting or direction character");
            case U_UNASSIGNED:
            case U_PRIVATE_USE_CHAR:
            case U_SURROGATE:
                return Refuse("the name contains a character that is not printable");
            case U_LINE_SEPARATOR:
            case U_PARAGRAPH_SEPARATOR:
                return Refuse("the name contains a line break");
            default:
                break;
        }
        // Bidi controls outside the format category (none today) and
        // non-characters are refused all the same.
        if (u_hasBinaryProperty(c, UCHAR_BIDI_CONTROL) ||
            u_hasBinaryProperty(c, UCHAR_NONCHARACTER_CODE_POINT) ||
            u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT)) {
            return Refuse("the name contains an invisible formatting or direction character");
        }
    }
    if (u_isUWhiteSpace(normal.char32At(0)) ||
        u_isUWhiteSpace(normal.char32At(normal.moveIndex32(normal.length(), -1)))) {
        return Refuse("the name begins or ends with a space");
    }
    NameCheck check;
    check.ok = true;
    normal.toUTF8String(check.name);
    return check;
}
