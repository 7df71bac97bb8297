#pragma once
// Exceptions and the string and number helpers of the component model. Text is UTF-8;
// functions that count characters count code points, not bytes.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const { return message_; }
    void SetMessage(std::string m) { message_ = std::move(m); }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

#define KNX_DECLARE_EXCEPTION(Name, Base)                                                          \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
    };
KNX_DECLARE_EXCEPTION(EConvertError, Exception)
KNX_DECLARE_EXCEPTION(EListError, Exception)
KNX_DECLARE_EXCEPTION(EStringListError, Exception)
KNX_DECLARE_EXCEPTION(EInOutError, Exception)
KNX_DECLARE_EXCEPTION(EStreamError, Exception)
KNX_DECLARE_EXCEPTION(EFCreateError, EStreamError)
KNX_DECLARE_EXCEPTION(EFOpenError, EStreamError)
KNX_DECLARE_EXCEPTION(EReadError, EStreamError)
KNX_DECLARE_EXCEPTION(EWriteError, EStreamError)
KNX_DECLARE_EXCEPTION(EInvalidOperation, Exception)
KNX_DECLARE_EXCEPTION(EInvalidPointer, Exception)
KNX_DECLARE_EXCEPTION(EOutOfResources, Exception)
KNX_DECLARE_EXCEPTION(EOSError, Exception)
KNX_DECLARE_EXCEPTION(EAbort, Exception)
KNX_DECLARE_EXCEPTION(EAssertionFailed, Exception) // a failed precondition of a control
KNX_DECLARE_EXCEPTION(ERangeError, Exception)
KNX_DECLARE_EXCEPTION(EComponentError, Exception)
#undef KNX_DECLARE_EXCEPTION

// Raises the silent exception that ends an operation without an error box.
[[noreturn]] void Abort();

// --- UTF-8 text ---------------------------------------------------------------------------
// Number of characters (code points) in UTF-8 text.
std::size_t Utf8Length(std::string_view s);
// Byte offset of character index `chars` (clamped to the text's end).
std::size_t Utf8Offset(std::string_view s, std::size_t chars);
// Characters [start, start+count) of UTF-8 text, 0-based.
std::string Utf8Substr(std::string_view s, std::size_t start,
                       std::size_t count = std::string::npos);
// Decodes UTF-8 into code points; every ill-formed sequence (a stray or truncated sequence, an
// overlong form, a surrogate, a value beyond U+10FFFF) becomes one U+FFFD.
std::u32string Utf8ToUtf32(std::string_view s);
// Encodes code points; a surrogate or a value beyond U+10FFFF becomes U+FFFD.
std::string Utf32ToUtf8(std::u32string_view s);
std::string CodePointToUtf8(char32_t c);
// UTF-16 text; a lone surrogate becomes U+FFFD.
std::u16string Utf8ToWide(std::string_view Text);
std::string WideToUtf8(std::u16string_view Text);
// True when s is well-formed UTF-8.
bool IsValidUtf8(std::string_view s);

// --- strings as the model has them (1-based positions where the model uses them) ------------
std::string Trim(std::string_view s);
// The part of s that Trim keeps.
std::string_view TrimView(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string UpperCase(std::string_view s); // ASCII only, as the model's UpperCase
std::string LowerCase(std::string_view s);
std::string AnsiUpperCase(std::string_view s); // full Unicode case mapping
std::string AnsiLowerCase(std::string_view s);
int CompareText(std::string_view a, std::string_view b); // ASCII case-insensitive
bool SameText(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
int AnsiCompareStr(std::string_view a, std::string_view b);
// 1-based byte position of `sub` in `s`, 0 when absent.
int Pos(std::string_view sub, std::string_view s);
std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to);
std::string StringOfChar(char c, int count);
bool StartsText(std::string_view prefix, std::string_view s);
bool StartsStr(std::string_view prefix, std::string_view s);
bool EndsStr(std::string_view suffix, std::string_view s);
std::string QuotedStr(std::string_view s);

// --- numbers ------------------------------------------------------------------------------
// a * b / c rounded half away from zero with a 64-bit intermediate; -1 when c is 0.
int MulDiv(int a, int b, int c);
std::string IntToStr(long long v);
std::string IntToHex(long long v, int digits);
// Whole-number parsing as the model's StrToInt: optional sign, decimal or "$"/"0x" hex;
// surrounding blanks are not allowed. Raises EConvertError on bad text.
int StrToInt(std::string_view s);
long long StrToInt64(std::string_view s);
int StrToIntDef(std::string_view s, int def);
long long StrToInt64Def(std::string_view s, long long def);
bool TryStrToInt(std::string_view s, int& value);
bool TryStrToInt64(std::string_view s, long long& value);
// Floating point with the locale's decimal separator.
double StrToFloat(std::string_view s);
double StrToFloatDef(std::string_view s, double def);
bool TryStrToFloat(std::string_view s, double& value);
std::string FloatToStr(double v);
std::string FormatFloat(std::string_view format, double v);

// --- Format -------------------------------------------------------------------------------
// printf-like formatting with the model's directives: %d %u %x %X %s %f %e %g %n %m %p %%,
// with index ("%1:s"), flags "-", width and precision ("*" takes an argument).
using FormatArg = std::variant<long long, unsigned long long, double, std::string, const void*>;
std::string FormatV(std::string_view format, const std::vector<FormatArg>& args);

namespace detail {
inline FormatArg toFormatArg(const std::string& v) {
    return v;
}
inline FormatArg toFormatArg(std::string_view v) {
    return std::string(v);
}
inline FormatArg toFormatArg(const char* v) {
    return std::string(v ? v : "");
}
inline FormatArg toFormatArg(char v) {
    return std::string(1, v);
}
inline FormatArg toFormatArg(bool v) {
    return static_cast<long long>(v);
}
inline FormatArg toFormatArg(double v) {
    return v;
}
inline FormatArg toFormatArg(float v) {
    return static_cast<double>(v);
}
inline FormatArg toFormatArg(const void* v) {
    return v;
}
template <typename T>
requires std::is_integral_v<T> FormatArg toFormatArg(T v) {
    if constexpr (std::is_signed_v<T>)
        return static_cast<long long>(v);
    else
        return static_cast<unsigned long long>(v);
}
} // namespace detail

template <typename... Args> std::string Format(std::string_view format, const Args&... args) {
    return FormatV(format, std::vector<FormatArg>{detail::toFormatArg(args)...});
}
