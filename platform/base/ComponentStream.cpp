#include "platform/base/ComponentStream.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace {
constexpr char Signature[4] = {'T', 'P', 'F', '0'};

bool isTagIdent(std::string_view ident, std::string_view tag) {
    return SameText(ident, tag);
}
} // namespace

// --- 80-bit extended floats ------------------------------------------------------------------
// Sign and 15-bit exponent (bias 16383) in the last two bytes, the 64-bit mantissa with its
// explicit integer bit in the first eight.
void DoubleToExtended(long double Value, std::uint8_t (&Bytes)[10]) {
    std::uint64_t mantissa = 0;
    unsigned exponent = 0;
    const bool negative = std::signbit(Value);
    const long double a = std::fabs(Value);
    if (std::isnan(a)) {
        exponent = 0x7FFF;
        mantissa = 0xC000000000000000ull;
    } else if (std::isinf(a)) {
        exponent = 0x7FFF;
        mantissa = 0x8000000000000000ull;
    } else if (a != 0) {
        int e = 0;
        const long double m = std::frexp(a, &e); // a = m * 2^e, 0.5 <= m < 1
        mantissa = std::uint64_t(std::ldexp(m, 64));
        exponent = unsigned(e - 1 + 16383);
    }
    for (int i = 0; i < 8; ++i) Bytes[i] = std::uint8_t(mantissa >> (8 * i));
    const unsigned top = exponent | (negative ? 0x8000u : 0u);
    Bytes[8] = std::uint8_t(top);
    Bytes[9] = std::uint8_t(top >> 8);
}

long double ExtendedToDouble(const std::uint8_t (&Bytes)[10]) {
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i) mantissa |= std::uint64_t(Bytes[i]) << (8 * i);
    const unsigned top = unsigned(Bytes[8]) | unsigned(Bytes[9]) << 8;
    const bool negative = top & 0x8000u;
    const int exponent = int(top & 0x7FFFu);
    long double v;
    if (exponent == 0x7FFF)
        v = (mantissa << 1) ? std::numeric_limits<long double>::quiet_NaN()
                            : std::numeric_limits<long double>::infinity();
    else if (exponent == 0 && mantissa == 0)
        v = 0;
    else
        v = std::ldexp((long double)mantissa, (exponent == 0 ? 1 : exponent) - 16383 - 63);
    return negative ? -v : v;
}

// --- TWriter -------------------------------------------------------------------------------
void TWriter::writeLE(std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) writeByte(std::uint8_t(v >> (8 * i)));
}

void TWriter::WriteComponentHeader(std::string_view ClassName, std::string_view Name) {
    buf_.append(Signature, sizeof Signature);
    WriteStr(ClassName);
    WriteStr(Name);
}

void TWriter::WriteComponentEnd() {
    writeByte(vaNull);
    writeByte(vaNull);
}

void TWriter::WriteStr(std::string_view Text) {
    if (Text.size() > 255)
        throw EWriteError(Format("Name too long for the component stream: %s", Text));
    writeByte(std::uint8_t(Text.size()));
    buf_.append(Text);
}

void TWriter::WriteInteger(std::int64_t Value) {
    if (Value >= -128 && Value <= 127) {
        writeByte(vaInt8);
        writeLE(std::uint64_t(Value), 1);
    } else if (Value >= -32768 && Value <= 32767) {
        writeByte(vaInt16);
        writeLE(std::uint64_t(Value), 2);
    } else if (Value >= std::numeric_limits<std::int32_t>::min() &&
               Value <= std::numeric_limits<std::int32_t>::max()) {
        writeByte(vaInt32);
        writeLE(std::uint64_t(Value), 4);
    } else {
        writeByte(vaInt64);
        writeLE(std::uint64_t(Value), 8);
    }
}

void TWriter::WriteIdent(std::string_view Ident) {
    if (isTagIdent(Ident, "False"))
        writeByte(vaFalse);
    else if (isTagIdent(Ident, "True"))
        writeByte(vaTrue);
    else if (isTagIdent(Ident, "Null"))
        writeByte(vaNull);
    else if (isTagIdent(Ident, "nil"))
        writeByte(vaNil);
    else {
        writeByte(vaIdent);
        WriteStr(Ident);
    }
}

void TWriter::WriteColor(TColor Color) {
    const char* ident = nullptr;
    if (ColorToIdent(Color, ident))
        WriteIdent(ident);
    else
        WriteInteger(Color);
}

void TWriter::WriteString(std::string_view Text) {
    const std::u16string wide = Utf8ToWide(Text);
    if (Text.size() >= 2 * wide.size()) {
        writeByte(vaWString);
        writeLE(wide.size(), 4);
        for (char16_t u : wide) writeLE(u, 2);
        return;
    }
    bool ascii = true;
    for (char c : Text) ascii = ascii && (unsigned char)c < 0x80;
    if (!ascii) {
        writeByte(vaUTF8String);
        writeLE(Text.size(), 4);
    } else if (Text.size() < 256) {
        writeByte(vaString);
        writeLE(Text.size(), 1);
    } else {
        writeByte(vaLString);
        writeLE(Text.size(), 4);
    }
    buf_.append(Text);
}

void TWriter::WriteFloat(long double Value) {
    std::uint8_t bytes[10];
    DoubleToExtended(Value, bytes);
    writeByte(vaExtended);
    buf_.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void TWriter::WriteSet(const std::vector<std::string>& Members) {
    writeByte(vaSet);
    for (const std::string& m : Members) WriteStr(m);
    writeByte(0);
}

void TWriter::WriteBinary(std::string_view Bytes) {
    if (Bytes.size() > std::numeric_limits<std::uint32_t>::max())
        throw EWriteError("Binary value too large for the component stream");
    writeByte(vaBinary);
    writeLE(Bytes.size(), 4);
    buf_.append(Bytes);
}

void TWriter::FlushBuffer() {
    if (buf_.empty()) return;
    stream_.WriteBuffer(buf_.data(), std::int64_t(buf_.size()));
    buf_.clear();
}

// --- TReader -------------------------------------------------------------------------------
TReader::TReader(TStream& Stream) : stream_(&Stream) {
    start_ = Stream.Position();
    const std::int64_t size = Stream.Size();
    if (size <= start_) return;
    if (auto* m = dynamic_cast<TMemoryStream*>(&Stream)) {
        data_ = std::string_view(reinterpret_cast<const char*>(m->Memory()) + start_,
                                 std::size_t(size - start_));
        return;
    }
    owned_.resize(std::size_t(size - start_));
    Stream.ReadBuffer(owned_.data(), std::int64_t(owned_.size()));
    Stream.SetPosition(start_);
    data_ = owned_;
}

TReader::TReader(std::string Bytes) : owned_(std::move(Bytes)), data_(owned_) {}

TReader::~TReader() {
    // Only the stream's position is set here; a stream that cannot seek keeps its own.
    try {
        Finish();
    } catch (const Exception&) {
    }
}

void TReader::Finish() {
    if (finished_) return;
    finished_ = true;
    if (stream_) stream_->SetPosition(start_ + std::int64_t(pos_));
}

std::uint8_t TReader::readByte() {
    if (pos_ >= data_.size()) throw EReadError("Stream read error");
    return std::uint8_t(data_[pos_++]);
}

std::uint64_t TReader::readLE(int bytes) {
    if (Remaining() < std::size_t(bytes)) throw EReadError("Stream read error");
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::uint64_t(std::uint8_t(data_[pos_ + i])) << (8 * i);
    pos_ += std::size_t(bytes);
    return v;
}

std::string_view TReader::readBytes(std::size_t n) {
    if (Remaining() < n) throw EReadError("Stream read error");
    std::string_view v = data_.substr(pos_, n);
    pos_ += n;
    return v;
}

std::string TReader::ReadComponentHeader(std::string* Name) {
    if (Remaining() < sizeof Signature ||
        std::memcmp(data_.data() + pos_, Signature, sizeof Signature) != 0)
        throw EReadError("Invalid stream format");
    pos_ += sizeof Signature;
    std::string cls = ReadStr();
    std::string name = ReadStr();
    if (Name) *Name = std::move(name);
    return cls;
}

void TReader::ExpectComponent(std::string_view ClassName) {
    const std::string found = ReadComponentHeader();
    if (found != ClassName)
        throw EReadError(Format("Invalid stream format: %s expected, %s found", ClassName, found));
}

void TReader::ReadChildrenEnd() {
    if (!EndOfList()) throw EReadError("Invalid stream format: unexpected child component");
}

std::string TReader::ReadStr() {
    const std::size_t n = readByte();
    return std::string(readBytes(n));
}

void TReader::UnknownProperty(std::string_view Name) {
    throw EReadError(Format("Property %s does not exist", Name));
}

bool TReader::EndOfList() {
    if (pos_ >= data_.size()) throw EReadError("Stream read error");
    if (data_[pos_] != 0) return false;
    ++pos_;
    return true;
}

TValueType TReader::NextValue() const {
    if (pos_ >= data_.size()) throw EReadError("Stream read error");
    return TValueType(std::uint8_t(data_[pos_]));
}

void TReader::expect(TValueType t) {
    const auto found = TValueType(readByte());
    if (found != t) invalidValue(found);
}

void TReader::invalidValue(TValueType found) {
    throw EReadError(Format("Invalid property value (tag %d)", int(found)));
}

std::int64_t TReader::ReadInteger() {
    const auto t = TValueType(readByte());
    switch (t) {
    case vaInt8:
        return std::int8_t(readLE(1));
    case vaInt16:
        return std::int16_t(readLE(2));
    case vaInt32:
        return std::int32_t(readLE(4));
    case vaInt64:
        return std::int64_t(readLE(8));
    default:
        invalidValue(t);
    }
}

bool TReader::ReadBoolean() {
    const auto t = TValueType(readByte());
    if (t != vaTrue && t != vaFalse) invalidValue(t);
    return t == vaTrue;
}

std::string TReader::ReadIdent() {
    const auto t = TValueType(readByte());
    switch (t) {
    case vaIdent:
        return ReadStr();
    case vaFalse:
        return "False";
    case vaTrue:
        return "True";
    case vaNull:
        return "Null";
    case vaNil:
        return "nil";
    default:
        invalidValue(t);
    }
}

TColor TReader::ReadColor() {
    const TValueType t = NextValue();
    if (t != vaIdent) return TColor(ReadInteger());
    const std::string ident = ReadIdent();
    TColor c = 0;
    if (!IdentToColor(ident, c)) throw EReadError(Format("Invalid colour name %s", ident));
    return c;
}

std::string TReader::ReadString() {
    const auto t = TValueType(readByte());
    switch (t) {
    case vaString:
        return std::string(readBytes(readByte()));
    case vaLString:
    case vaUTF8String:
        return std::string(readBytes(std::size_t(readLE(4))));
    case vaWString: {
        const std::size_t n = std::size_t(readLE(4));
        if (Remaining() / 2 < n) throw EReadError("Stream read error");
        std::u16string wide(n, u'\0');
        for (char16_t& u : wide) u = char16_t(readLE(2));
        return WideToUtf8(wide);
    }
    default:
        invalidValue(t);
    }
}

long double TReader::ReadFloat() {
    const auto t = TValueType(readByte());
    if (t != vaExtended) {
        --pos_;
        return (long double)ReadInteger();
    }
    std::uint8_t bytes[10];
    std::memcpy(bytes, readBytes(10).data(), 10);
    return ExtendedToDouble(bytes);
}

std::vector<std::string> TReader::ReadSet() {
    expect(vaSet);
    std::vector<std::string> members;
    for (std::string m = ReadStr(); !m.empty(); m = ReadStr()) members.push_back(std::move(m));
    return members;
}

std::string TReader::ReadBinary() {
    expect(vaBinary);
    return std::string(readBytes(std::size_t(readLE(4))));
}

void TReader::SkipValue() {
    const TValueType t = NextValue();
    switch (t) {
    case vaList:
        ++pos_;
        while (!EndOfList()) SkipValue();
        return;
    case vaCollection:
        ++pos_;
        while (!EndOfList()) {
            if (NextValue() != vaList) ReadInteger(); // the item's order value
            ReadListBegin();
            while (!EndOfList()) {
                ReadStr();
                SkipValue();
            }
        }
        return;
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64:
        ReadInteger();
        return;
    case vaExtended:
        ReadFloat();
        return;
    case vaString:
    case vaLString:
    case vaUTF8String:
    case vaWString:
        ReadString();
        return;
    case vaIdent:
    case vaFalse:
    case vaTrue:
    case vaNull:
    case vaNil:
        ReadIdent();
        return;
    case vaBinary:
        ReadBinary();
        return;
    case vaSet:
        ReadSet();
        return;
    }
    invalidValue(t);
}
