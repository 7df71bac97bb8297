#pragma once
// The component streaming format of form resources. A component is written as "TPF0", its
// class name and its name (short strings: one length byte, then UTF-8), its properties (a short
// string name, dotted for a property of a nested object, then a tag byte and the value), a 0
// byte, its child components and another 0 byte. Integers are little-endian.
#include "platform/base/Classes.h"
#include "platform/base/Types.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The tag byte before every value.
enum TValueType : std::uint8_t {
    vaNull = 0, // ends a list
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5, // 80-bit extended float
    vaString = 6,   // length byte, bytes
    vaIdent = 7,    // length byte, identifier
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,  // 4-byte length, bytes
    vaSet = 11,     // member names, ended by an empty name
    vaLString = 12, // 4-byte length, bytes
    vaNil = 13,
    vaCollection = 14, // items (each a list of properties), ended by vaNull
    vaWString = 18,    // 4-byte length in UTF-16 units, the units
    vaInt64 = 19,
    vaUTF8String = 20, // 4-byte length in bytes, UTF-8
};

// Writes components into a stream. The bytes are collected and handed to the stream by
// FlushBuffer, which a writer calls after each component.
class TWriter {
public:
    explicit TWriter(TStream& Stream) : stream_(Stream) {}
    TWriter(const TWriter&) = delete;
    TWriter& operator=(const TWriter&) = delete;

    // "TPF0", the class name and the component name.
    void WriteComponentHeader(std::string_view ClassName, std::string_view Name);
    // The end of the property list and of the (empty) list of children.
    void WriteComponentEnd();
    // A short string; raises EWriteError for one longer than 255 bytes.
    void WriteStr(std::string_view Text);
    void WritePropName(std::string_view Name) { WriteStr(Name); }
    void WriteListBegin() { writeByte(vaList); }
    void WriteListEnd() { writeByte(vaNull); }
    void WriteCollectionBegin() { writeByte(vaCollection); }
    // In the smallest of Int8, Int16, Int32 and Int64 that holds it.
    void WriteInteger(std::int64_t Value);
    void WriteBoolean(bool Value) { writeByte(Value ? vaTrue : vaFalse); }
    // False, True, Null and nil (any letter case) are written as their tags.
    void WriteIdent(std::string_view Ident);
    // A standard colour name as an identifier, any other colour as an integer.
    void WriteColor(TColor Color);
    // WString when the UTF-8 form takes at least twice as many bytes as the text has
    // characters, else UTF8String when a byte is not ASCII, else String (LString from 256
    // bytes on).
    void WriteString(std::string_view Text);
    void WriteFloat(long double Value);
    void WriteSet(const std::vector<std::string>& Members);
    void WriteBinary(std::string_view Bytes);
    void FlushBuffer();

private:
    void writeByte(std::uint8_t b) { buf_.push_back(char(b)); }
    void writeLE(std::uint64_t v, int bytes);
    TStream& stream_;
    std::string buf_;
};

// Reads components from a stream: the bytes from the stream's position to its end are taken at
// once (a memory stream's are read in place; it must not change meanwhile), and Finish (or the
// destructor) puts the stream's position after what was read. A value that ends early raises
// EReadError "Stream read error".
class TReader {
public:
    explicit TReader(TStream& Stream);
    // Reads the bytes themselves, with no stream to position.
    explicit TReader(std::string Bytes);
    ~TReader();
    TReader(const TReader&) = delete;
    TReader& operator=(const TReader&) = delete;
    void Finish();

    std::size_t Remaining() const { return data_.size() - pos_; }
    // Reads "TPF0" (EReadError "Invalid stream format" when absent), the class name and the
    // component name; answers the class name.
    std::string ReadComponentHeader(std::string* Name = nullptr);
    // As ReadComponentHeader, and refuses (EReadError) a component of another class.
    void ExpectComponent(std::string_view ClassName);
    // The end of the list of child components, which must be empty (after the end of the
    // property list).
    void ReadChildrenEnd();
    std::string ReadStr();
    // Raises "Property <name> does not exist" for a property a class does not know.
    [[noreturn]] static void UnknownProperty(std::string_view Name);
    // True (consuming it) at the vaNull that ends a list.
    bool EndOfList();
    TValueType NextValue() const;
    void ReadListBegin() { expect(vaList); }
    void ReadCollectionBegin() { expect(vaCollection); }
    std::int64_t ReadInteger();
    bool ReadBoolean();
    // An identifier; the tags False, True, Null and Nil answer "False", "True", "Null", "nil".
    std::string ReadIdent();
    TColor ReadColor();
    // Any of the string forms, as UTF-8.
    std::string ReadString();
    long double ReadFloat();
    std::vector<std::string> ReadSet();
    std::string ReadBinary();
    void SkipValue();

private:
    std::uint8_t readByte();
    std::uint64_t readLE(int bytes);
    std::string_view readBytes(std::size_t n);
    void expect(TValueType t);
    [[noreturn]] void invalidValue(TValueType found);
    TStream* stream_ = nullptr;
    std::int64_t start_ = 0;
    std::string owned_;
    std::string_view data_;
    std::size_t pos_ = 0;
    bool finished_ = false;
};

// The 10 bytes of an 80-bit extended float and back.
void DoubleToExtended(long double Value, std::uint8_t (&Bytes)[10]);
long double ExtendedToDouble(const std::uint8_t (&Bytes)[10]);
