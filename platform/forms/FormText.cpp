#include "platform/forms/FormText.h"

#include <charconv>
#include <cmath>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/SysUtils.h"

namespace orv {

// ---- Values ---------------------------------------------------------------------------------

FormValue FormValue::Int(Int64 value) {
  FormValue v;
  v.Kind = FormValueKind::Integer;
  v.IntValue = value;
  return v;
}

FormValue FormValue::Float(double value) {
  FormValue v;
  v.Kind = FormValueKind::Float;
  v.FloatValue = value;
  return v;
}

FormValue FormValue::Str(AnsiString value) {
  FormValue v;
  v.Kind = FormValueKind::String;
  v.Text = std::move(value);
  return v;
}

FormValue FormValue::Ident(AnsiString name) {
  FormValue v;
  v.Kind = FormValueKind::Ident;
  v.Text = std::move(name);
  return v;
}

FormValue FormValue::SetOf(std::vector<AnsiString> names) {
  FormValue v;
  v.Kind = FormValueKind::Set;
  v.Names = std::move(names);
  return v;
}

FormValue FormValue::ListOf(std::vector<FormValue> values) {
  FormValue v;
  v.Kind = FormValueKind::List;
  v.Values = std::move(values);
  return v;
}

FormValue FormValue::Bytes(AnsiString bytes) {
  FormValue v;
  v.Kind = FormValueKind::Binary;
  v.Text = std::move(bytes);
  return v;
}

FormValue FormValue::CollectionOf(std::vector<FormItem> items) {
  FormValue v;
  v.Kind = FormValueKind::Collection;
  v.Items = std::move(items);
  return v;
}

namespace {

std::string FloatText(double value) {
  if (!std::isfinite(value)) throw EWriteError("A form description cannot hold an infinite value");
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  std::string s(buf, r.ptr);
  // Keep it a float when read back: "1" becomes "1.0".
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

// A Windows-1251 string as the description writes it: quoted runs of printable characters in
// UTF-8 and "#n" for control characters.
void AppendQuoted(std::string& out, std::string_view text) {
  if (text.empty()) {
    out += "''";
    return;
  }
  bool open = false;
  for (char ch : text) {
    const char32_t c = Cp1251ToUnicode(static_cast<unsigned char>(ch));
    const bool control = c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F);
    if (control) {
      if (open) out += '\'';
      open = false;
      out += '#';
      out += std::to_string(static_cast<unsigned>(c));
      continue;
    }
    if (!open) out += '\'';
    open = true;
    if (c == '\'') out += '\'';
    AppendUtf8(out, c);
  }
  if (open) out += '\'';
}

}  // namespace

bool FormValue::IsIdent(const AnsiString& name) const {
  return Kind == FormValueKind::Ident && SameText(Text, name);
}

AnsiString FormValue::Describe() const {
  std::string s;
  switch (Kind) {
    case FormValueKind::Integer: return std::to_string(IntValue);
    case FormValueKind::Float: return FloatText(FloatValue);
    case FormValueKind::Ident: return Text;
    case FormValueKind::String: {
      // Error messages are Windows-1251 text: keep the bytes, quote them.
      s = "'" + Text.substr(0, 40) + (Text.size() > 40 ? "..." : "") + "'";
      return s;
    }
    case FormValueKind::Set: s = "[";
      for (std::size_t i = 0; i < Names.size(); ++i) s += (i ? ", " : "") + Names[i];
      return s + "]";
    case FormValueKind::List: return "(list)";
    case FormValueKind::Binary: return "(binary data)";
    case FormValueKind::Collection: return "(collection)";
  }
  return s;
}

// ---- Parser ---------------------------------------------------------------------------------

namespace {

enum class Tok { End, Ident, Integer, Float, String, Symbol };

// Objects, lists and collections may nest this deep, together: far beyond any real form, and
// far below what the parser's recursion could take before it exhausts the stack.
constexpr int kFormTextMaxNesting = 256;

class Parser {
 public:
  explicit Parser(std::string_view text) : FText(text) { Next(); }

  FormObject ParseDescription() {
    FormObject root = ParseObject();
    if (FTok != Tok::End) Error("text after the end of the description");
    return root;
  }

 private:
  [[noreturn]] void Error(const std::string& what) const {
    throw EParserError("Line " + std::to_string(FTokLine) + ": " + what);
  }

  bool IsSymbol(char c) const { return FTok == Tok::Symbol && FSymbol == c; }
  bool IsKeyword(const char* word) const { return FTok == Tok::Ident && SameText(FIdent, word); }
  void Expect(char c) {
    if (!IsSymbol(c)) Error(std::string("\"") + c + "\" expected");
    Next();
  }
  AnsiString ExpectIdent(const char* what) {
    if (FTok != Tok::Ident) Error(std::string(what) + " expected");
    AnsiString s = FIdent;
    Next();
    return s;
  }
  Int64 ExpectInteger() {
    if (FTok != Tok::Integer) Error("integer expected");
    const Int64 v = FInt;
    Next();
    return v;
  }

  // Counts one level of nesting for as long as it lives; refuses a level past the bound.
  class NestingLevel {
   public:
    explicit NestingLevel(Parser& parser) : FParser(parser) {
      if (FParser.FNesting >= kFormTextMaxNesting)
        FParser.Error("nesting deeper than " + std::to_string(kFormTextMaxNesting) + " levels");
      ++FParser.FNesting;
    }
    ~NestingLevel() { --FParser.FNesting; }
    NestingLevel(const NestingLevel&) = delete;
    NestingLevel& operator=(const NestingLevel&) = delete;

   private:
    Parser& FParser;
  };

  FormObject ParseObject() {
    const NestingLevel level(*this);
    FormObject obj;
    obj.Line = FTokLine;
    if (IsKeyword("object")) obj.Kind = FormObjectKind::Object;
    else if (IsKeyword("inherited")) obj.Kind = FormObjectKind::Inherited;
    else if (IsKeyword("inline")) obj.Kind = FormObjectKind::Inline;
    else Error("\"object\" expected");
    Next();
    AnsiString first = ExpectIdent("name or class");
    if (IsSymbol(':')) {
      Next();
      obj.Name = first;
      obj.ClassName = ExpectIdent("class name");
    } else {
      obj.ClassName = first;
    }
    if (obj.Name.find('.') != AnsiString::npos || obj.ClassName.find('.') != AnsiString::npos)
      Error("a name or class name holds a dot");
    if (IsSymbol('[')) {
      Next();
      const Int64 pos = ExpectInteger();
      if (pos < 0 || pos > 0x7FFFFFFF) Error("child position out of range");
      obj.ChildPos = static_cast<Integer>(pos);
      Expect(']');
    }
    ParseBody(obj.Properties, [&] {
      while (IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline"))
        obj.Children.push_back(ParseObject());
    });
    return obj;
  }

  // Properties up to "end" (objects may follow the properties).
  template <class Children>
  void ParseBody(std::vector<FormProperty>& props, Children children) {
    for (;;) {
      if (IsKeyword("end")) {
        Next();
        return;
      }
      if (IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline")) {
        children();
        if (!IsKeyword("end")) Error("\"end\" expected");
        continue;
      }
      if (FTok != Tok::Ident) Error(FTok == Tok::End ? "\"end\" expected" : "property name expected");
      FormProperty p;
      p.Line = FTokLine;
      p.Name = FIdent;
      Next();
      Expect('=');
      p.Value = ParseValue();
      props.push_back(std::move(p));
    }
  }

  FormValue ParseValue() {
    const Integer line = FTokLine;
    FormValue v;
    switch (FTok) {
      case Tok::Integer: v = FormValue::Int(FInt); Next(); break;
      case Tok::Float: v = FormValue::Float(FFloat); Next(); break;
      case Tok::String: {
        AnsiString s = FString;
        Next();
        while (IsSymbol('+')) {
          Next();
          if (FTok != Tok::String) Error("string expected after \"+\"");
          s += FString;
          Next();
        }
        v = FormValue::Str(std::move(s));
        break;
      }
      case Tok::Ident:
        if (IsKeyword("end") || IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline") ||
            IsKeyword("item"))
          Error("value expected");
        v = FormValue::Ident(FIdent);
        Next();
        break;
      case Tok::Symbol:
        switch (FSymbol) {
          case '[': v = ParseSet(); break;
          case '(': {
            const NestingLevel level(*this);
            Next();
            std::vector<FormValue> values;
            while (!IsSymbol(')')) {
              if (FTok == Tok::End) Error("\")\" expected");
              values.push_back(ParseValue());
            }
            Next();
            v = FormValue::ListOf(std::move(values));
            break;
          }
          case '{': v = FormValue::Bytes(ReadBinary()); Next(); break;
          case '<': v = ParseCollection(); break;
          default: Error("value expected");
        }
        break;
      case Tok::End: Error("value expected");
    }
    v.Line = line;
    return v;
  }

  FormValue ParseSet() {
    Next();  // [
    std::vector<AnsiString> names;
    if (!IsSymbol(']')) {
      for (;;) {
        names.push_back(ExpectIdent("set element"));
        if (IsSymbol(']')) break;
        Expect(',');
      }
    }
    Next();
    return FormValue::SetOf(std::move(names));
  }

  FormValue ParseCollection() {
    const NestingLevel level(*this);
    Next();  // <
    std::vector<FormItem> items;
    while (!IsSymbol('>')) {
      if (!IsKeyword("item")) Error("\"item\" or \">\" expected");
      FormItem item;
      item.Line = FTokLine;
      Next();
      if (IsSymbol('[')) {
        Next();
        const Int64 index = ExpectInteger();
        if (index < 0 || index > 0x7FFFFFFF) Error("item index out of range");
        item.Index = static_cast<Integer>(index);
        Expect(']');
      }
      ParseBody(item.Properties, [&] { Error("an item cannot hold objects"); });
      items.push_back(std::move(item));
    }
    Next();
    return FormValue::CollectionOf(std::move(items));
  }

  // The bytes of "{ ... }"; FPos stands just after "{". Leaves FPos after "}" and the current
  // token on "}".
  AnsiString ReadBinary() {
    AnsiString bytes;
    int half = -1;
    for (;;) {
      if (FPos >= FText.size()) Error("\"}\" expected");
      const char c = FText[FPos++];
      if (c == '}') break;
      if (c == '\n') ++FLine;
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
      const int d = HexDigit(c);
      if (d < 0) Error("hexadecimal digit expected in binary data");
      if (half < 0) {
        half = d;
      } else {
        bytes += static_cast<char>(half * 16 + d);
        half = -1;
      }
    }
    if (half >= 0) Error("odd number of hexadecimal digits in binary data");
    FTok = Tok::Symbol;
    FSymbol = '}';
    return bytes;
  }

  static int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }
  static bool IsIdentStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  }
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  // ---- Lexer ----
  void Next() {
    SkipBlanks();
    FTokLine = FLine;
    if (FPos >= FText.size()) {
      FTok = Tok::End;
      return;
    }
    const char c = FText[FPos];
    if (IsIdentStart(c)) {
      const std::size_t start = FPos;
      while (FPos < FText.size() &&
             (IsIdentStart(FText[FPos]) || IsDigit(FText[FPos]) || FText[FPos] == '.'))
        ++FPos;
      FIdent.assign(FText.substr(start, FPos - start));
      if (FIdent.back() == '.' || FIdent.find("..") != AnsiString::npos) Error("bad name " + FIdent);
      FTok = Tok::Ident;
      return;
    }
    if (IsDigit(c) || c == '$' ||
        (c == '-' && FPos + 1 < FText.size() && (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == '$'))) {
      ReadNumber();
      return;
    }
    if (c == '\'' || c == '#') {
      ReadString();
      return;
    }
    if (std::string_view("=:[](){}<>,+").find(c) != std::string_view::npos) {
      ++FPos;
      FTok = Tok::Symbol;
      FSymbol = c;
      if (c == '{') return;  // the caller reads the binary data itself
      return;
    }
    Error(std::string("unexpected character \"") + c + "\"");
  }

  void SkipBlanks() {
    while (FPos < FText.size()) {
      const char c = FText[FPos];
      if (c == '\n') ++FLine;
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        ++FPos;
      } else if (FPos == 0 && FText.substr(0, 3) == "\xEF\xBB\xBF") {
        FPos += 3;  // a byte-order mark
      } else {
        break;
      }
    }
  }

  void ReadNumber() {
    const std::size_t start = FPos;
    const bool negative = FText[FPos] == '-';
    if (negative) ++FPos;
    if (FText[FPos] == '$') {
      ++FPos;
      const std::size_t digits = FPos;
      UInt64 value = 0;
      while (FPos < FText.size() && HexDigit(FText[FPos]) >= 0) {
        if (FPos - digits >= 16) Error("hexadecimal number too long");
        value = value * 16 + static_cast<UInt64>(HexDigit(FText[FPos++]));
      }
      if (FPos == digits) Error("hexadecimal digit expected");
      FInt = negative ? -static_cast<Int64>(value) : static_cast<Int64>(value);
      FTok = Tok::Integer;
      return;
    }
    while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    bool isFloat = false;
    if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsDigit(FText[FPos + 1])) {
      isFloat = true;
      ++FPos;
      while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    }
    if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
      isFloat = true;
      ++FPos;
      if (FPos < FText.size() && (FText[FPos] == '+' || FText[FPos] == '-')) ++FPos;
      if (FPos >= FText.size() || !IsDigit(FText[FPos])) Error("exponent expected");
      while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    }
    if (FPos < FText.size() && (IsIdentStart(FText[FPos]) || FText[FPos] == '.'))
      Error("bad number");
    const char* first = FText.data() + start;
    const char* last = FText.data() + FPos;
    if (isFloat) {
      const auto r = std::from_chars(first, last, FFloat);
      if (r.ec != std::errc() || r.ptr != last || !std::isfinite(FFloat)) Error("bad number");
      FTok = Tok::Float;
    } else {
      const auto r = std::from_chars(first, last, FInt);
      if (r.ec != std::errc() || r.ptr != last) Error("integer out of range");
      FTok = Tok::Integer;
    }
  }

  // Adjacent quoted runs and "#n" characters form one string.
  void ReadString() {
    FString.clear();
    for (;;) {
      if (FPos < FText.size() && FText[FPos] == '\'') {
        ++FPos;
        for (;;) {
          if (FPos >= FText.size() || FText[FPos] == '\n' || FText[FPos] == '\r')
            Error("unterminated string");
          if (FText[FPos] == '\'') {
            if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
              FString += '\'';
              FPos += 2;
              continue;
            }
            ++FPos;
            break;
          }
          const std::size_t at = FPos;
          const char32_t c = DecodeUtf8(FText, FPos);
          if (c == 0xFFFD && !(FText.substr(at, FPos - at) == "\xEF\xBF\xBD"))
            Error("malformed UTF-8 in a string");
          AppendChar(c);
        }
      } else if (FPos < FText.size() && FText[FPos] == '#') {
        ++FPos;
        const std::size_t digits = FPos;
        UInt64 code = 0;
        while (FPos < FText.size() && IsDigit(FText[FPos])) {
          code = code * 10 + static_cast<UInt64>(FText[FPos++] - '0');
          if (code > 0x10FFFF) Error("character code out of range");
        }
        if (FPos == digits) Error("character code expected after \"#\"");
        AppendChar(static_cast<char32_t>(code));
      } else {
        break;
      }
    }
    FTok = Tok::String;
  }

  void AppendChar(char32_t c) {
    const int b = UnicodeToCp1251(c);
    if (b < 0) Error("character U+" + HexCode(c) + " is not in Windows-1251");
    FString += static_cast<char>(b);
  }

  static std::string HexCode(char32_t c) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<unsigned long>(c), 16);
    std::string s = UpperCase(std::string(buf, r.ptr));
    while (s.size() < 4) s.insert(s.begin(), '0');
    return s;
  }

  std::string_view FText;
  std::size_t FPos = 0;
  Integer FLine = 1;
  Integer FTokLine = 1;
  int FNesting = 0;
  Tok FTok = Tok::End;
  char FSymbol = 0;
  AnsiString FIdent;
  AnsiString FString;
  Int64 FInt = 0;
  double FFloat = 0;
};

// ---- Printer --------------------------------------------------------------------------------

class Printer {
 public:
  std::string Take() { return std::move(FOut); }

  void Object(const FormObject& obj, int depth) {
    Indent(depth);
    FOut += obj.Kind == FormObjectKind::Inherited ? "inherited "
            : obj.Kind == FormObjectKind::Inline  ? "inline "
                                                  : "object ";
    if (!obj.Name.empty()) FOut += obj.Name + ": ";
    FOut += obj.ClassName;
    if (obj.ChildPos >= 0) FOut += " [" + std::to_string(obj.ChildPos) + "]";
    FOut += '\n';
    for (const FormProperty& p : obj.Properties) Property(p, depth + 1);
    for (const FormObject& child : obj.Children) Object(child, depth + 1);
    Indent(depth);
    FOut += "end\n";
  }

 private:
  void Indent(int depth) { FOut.append(static_cast<std::size_t>(depth) * 2, ' '); }

  void Property(const FormProperty& p, int depth) {
    Indent(depth);
    FOut += p.Name + " = ";
    Value(p.Value, depth);
    FOut += '\n';
  }

  void Value(const FormValue& v, int depth) {
    switch (v.Kind) {
      case FormValueKind::Integer: FOut += std::to_string(v.IntValue); break;
      case FormValueKind::Float: FOut += FloatText(v.FloatValue); break;
      case FormValueKind::String: AppendQuoted(FOut, v.Text); break;
      case FormValueKind::Ident: FOut += v.Text; break;
      case FormValueKind::Set:
        FOut += '[';
        for (std::size_t i = 0; i < v.Names.size(); ++i) FOut += (i ? ", " : "") + v.Names[i];
        FOut += ']';
        break;
      case FormValueKind::List:
        FOut += '(';
        for (const FormValue& item : v.Values) {
          FOut += '\n';
          Indent(depth + 1);
          Value(item, depth + 1);
        }
        FOut += ')';
        break;
      case FormValueKind::Binary: Binary(v.Text, depth); break;
      case FormValueKind::Collection:
        FOut += '<';
        for (const FormItem& item : v.Items) {
          FOut += '\n';
          Indent(depth + 1);
          FOut += "item";
          if (item.Index >= 0) FOut += " [" + std::to_string(item.Index) + "]";
          FOut += '\n';
          for (const FormProperty& p : item.Properties) Property(p, depth + 2);
          Indent(depth + 1);
          FOut += "end";
        }
        FOut += '>';
        break;
    }
  }

  void Binary(const AnsiString& bytes, int depth) {
    static const char kHex[] = "0123456789ABCDEF";
    FOut += '{';
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (i % 32 == 0) {
        FOut += '\n';
        Indent(depth + 1);
      }
      const auto b = static_cast<unsigned char>(bytes[i]);
      FOut += kHex[b >> 4];
      FOut += kHex[b & 15];
    }
    FOut += '}';
  }

  std::string FOut;
};

}  // namespace

FormObject ParseFormText(std::string_view text) { return Parser(text).ParseDescription(); }

std::string PrintFormText(const FormObject& object) {
  Printer printer;
  printer.Object(object, 0);
  return printer.Take();
}

}  // namespace orv
