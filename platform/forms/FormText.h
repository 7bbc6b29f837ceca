// The text of a form description, as a tree: parsing and printing.
//
// A form description is UTF-8 text. Its grammar:
//
//   description   = object
//   object        = ("object" | "inherited" | "inline") [name ":"] class ["[" integer "]"]
//                   { property } { object } "end"
//   property      = qualified-name "=" value              (Font.Name, Properties.Items.Strings)
//   value         = integer | float | string | identifier | set | list | binary | collection
//   integer       = ["-"] digits | ["-"] "$" hex-digits    (64-bit)
//   float         = ["-"] digits "." digits [exponent] | ["-"] digits exponent
//   string        = run { run } { "+" run { run } }
//   run           = "'" { character | "''" } "'" | "#" digits
//   identifier    = letter-or-_ { letter | digit | "_" | "." }   (True, clWindow, DM.tblOrvane)
//   set           = "[" [ identifier { "," identifier } ] "]"
//   list          = "(" { value } ")"
//   binary        = "{" { hex-digit hex-digit } "}"              (white space allowed inside)
//   collection    = "<" { "item" ["[" integer "]"] { property } "end" } ">"
//
// Keywords and identifiers ignore ASCII case. A string holds Windows-1251 text: the characters
// between quotes are UTF-8 in the file and must exist in Windows-1251; "#n" is the character
// of Unicode code point n (the printer uses it for control characters only). "[n]" after a
// class is the child's position among its parent's children. The header's line numbers are
// kept so that loading errors can point at the line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Types.h"

// A form description that is not well formed: "Line <n>: <what>".
ORV_DECLARE_EXCEPTION(EParserError, Exception);

namespace orv {

struct FormItem;

enum class FormValueKind { Integer, Float, String, Ident, Set, List, Binary, Collection };

// One property value of a description.
struct FormValue {
  FormValueKind Kind = FormValueKind::Integer;
  Int64 IntValue = 0;
  double FloatValue = 0;
  AnsiString Text;                 // String (Windows-1251), Ident, Binary (the bytes)
  std::vector<AnsiString> Names;   // Set
  std::vector<FormValue> Values;   // List
  std::vector<FormItem> Items;     // Collection
  Integer Line = 0;                // where the value starts (0: not from a text)

  static FormValue Int(Int64 value);
  static FormValue Float(double value);
  static FormValue Str(AnsiString value);
  static FormValue Ident(AnsiString name);
  static FormValue Bool(bool value);
  static FormValue SetOf(std::vector<AnsiString> names);
  static FormValue ListOf(std::vector<FormValue> values);
  static FormValue Bytes(AnsiString bytes);
  static FormValue CollectionOf(std::vector<FormItem> items);

  // True when the value is the identifier `name` (ASCII case ignored).
  bool IsIdent(const AnsiString& name) const;
  // A short description for error messages: the text as written, shortened.
  AnsiString Describe() const;
};

struct FormProperty {
  AnsiString Name;  // possibly qualified: "Font.Name"
  FormValue Value;
  Integer Line = 0;
};

struct FormItem {
  Integer Index = -1;  // "item [n]"; -1 when absent
  std::vector<FormProperty> Properties;
  Integer Line = 0;
};

// Defined once FormItem is complete: returning a FormValue destroys its vector of items.
inline FormValue FormValue::Bool(bool value) { return Ident(value ? "True" : "False"); }

enum class FormObjectKind { Object, Inherited, Inline };

struct FormObject {
  FormObjectKind Kind = FormObjectKind::Object;
  AnsiString Name;
  AnsiString ClassName;
  Integer ChildPos = -1;  // "[n]" after the class; -1 when absent
  std::vector<FormProperty> Properties;
  std::vector<FormObject> Children;
  Integer Line = 0;
};

// Parses a whole description; raises EParserError "Line <n>: <what>" when it is not well formed
// or holds something after its last "end".
FormObject ParseFormText(std::string_view text);
// The description as text (UTF-8, LF line ends, two spaces of indentation per level). Parsing
// the result gives the same tree (line numbers aside).
std::string PrintFormText(const FormObject& object);

}  // namespace orv
