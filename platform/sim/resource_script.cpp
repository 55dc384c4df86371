// Reads resources/zorvik.rc, the one source of menus, dialogs and strings, for the simulated
// loader. Only the statements the script uses are known; anything else stops the run with the line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

#include "platform/sim/device.h"

#ifndef ZORVIK_RESOURCE_SCRIPT
#error "ZORVIK_RESOURCE_SCRIPT must name resources/zorvik.rc"
#endif

namespace {

// Win32 values of the style names the script uses (winuser.h, commctrl.h).
struct StyleName {
  const char* Name;
  std::uint32_t Value;
};
constexpr StyleName StyleNames[] = {
    {"WS_POPUP", 0x80000000},     {"WS_CHILD", 0x40000000},      {"WS_VISIBLE", 0x10000000},
    {"WS_CAPTION", 0x00C00000},   {"WS_BORDER", 0x00800000},     {"WS_VSCROLL", 0x00200000},
    {"WS_SYSMENU", 0x00080000},   {"WS_GROUP", 0x00020000},      {"WS_TABSTOP", 0x00010000},
    {"DS_CENTER", 0x0800},        {"DS_SETFOREGROUND", 0x0200},  {"DS_MODALFRAME", 0x80},
    {"DS_SETFONT", 0x40},         {"BS_PUSHBUTTON", 0},          {"BS_DEFPUSHBUTTON", 1},
    {"LVS_REPORT", 0x1},          {"LVS_SINGLESEL", 0x4},        {"LVS_SHOWSELALWAYS", 0x8},
    {"LVS_NOSORTHEADER", 0x8000}, {"TVS_HASBUTTONS", 0x1},       {"TVS_HASLINES", 0x2},
    {"TVS_LINESATROOT", 0x4},     {"TVS_DISABLEDRAGDROP", 0x10}, {"TVS_SHOWSELALWAYS", 0x20},
};

struct Token {
  enum Kind { Word, Number, String, Comma, Pipe, End } kind;
  std::string text;  // a word, or a string's UTF-8 content
  std::uint32_t value = 0;
  bool isLong = false;  // a number written with the L suffix
  int line = 0;
};

[[noreturn]] void Fail(const std::string& file, int line, const std::string& message) {
  std::fprintf(stderr, "%s:%d: resource script: %s\n", file.c_str(), line, message.c_str());
  std::abort();
}

class Lexer {
 public:
  Lexer(std::string_view text, const std::string& file) : text_(text), file_(file) {}

  std::vector<Token> Run() {
    std::vector<Token> tokens;
    bool lineStart = true;
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
        lineStart = true;
        continue;
      }
      if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
        continue;
      }
      if (lineStart && c == '#') {  // preprocessor lines: #include, #define, #pragma
        std::size_t start = pos_;
        SkipLine();
        Directive(text_.substr(start, pos_ - start));
        continue;
      }
      lineStart = false;
      if (text_.compare(pos_, 2, "//") == 0) {
        SkipLine();
        continue;
      }
      if (text_.compare(pos_, 2, "/*") == 0) {
        std::size_t end = text_.find("*/", pos_ + 2);
        if (end == std::string_view::npos) Fail(file_, line_, "unterminated comment");
        for (std::size_t i = pos_; i < end; ++i) line_ += text_[i] == '\n';
        pos_ = end + 2;
        continue;
      }
      if (c == '"') {
        tokens.push_back(ReadString());
      } else if ((c >= '0' && c <= '9') || (c == '-' && pos_ + 1 < text_.size() &&
                                            text_[pos_ + 1] >= '0' && text_[pos_ + 1] <= '9')) {
        tokens.push_back(ReadNumber());
      } else if (IsWordChar(c)) {
        std::size_t start = pos_;
        while (pos_ < text_.size() && (IsWordChar(text_[pos_]) || IsDigit(text_[pos_]))) ++pos_;
        std::string word(text_.substr(start, pos_ - start));
        auto defined = defines_.find(word);
        if (defined != defines_.end()) {  // an identifier from the program's header
          tokens.push_back({Token::Number, word, defined->second, false, line_});
        } else {
          tokens.push_back({Token::Word, std::move(word), 0, false, line_});
        }
      } else if (c == ',' || c == '|') {
        tokens.push_back({c == ',' ? Token::Comma : Token::Pipe, "", 0, false, line_});
        ++pos_;
      } else if (c == '{' || c == '}') {
        tokens.push_back({Token::Word, c == '{' ? "BEGIN" : "END", 0, false, line_});
        ++pos_;
      } else {
        Fail(file_, line_, std::string("unexpected character '") + c + "'");
      }
    }
    tokens.push_back({Token::End, "", 0, false, line_});
    return tokens;
  }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static bool IsWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
  }

  void SkipLine() {
    while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
  }

  // `#define NAME NUMBER` defines a name; `#include "path"` (relative to the source tree, the
  // folder above the script's) reads the #define lines of a header of the program. Other
  // directives, and system headers in angle brackets, are passed over.
  void Directive(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::string directive;
    in >> directive;
    if (directive == "#define") {
      std::string name, value;
      in >> name >> value;
      char* end = nullptr;
      unsigned long number = std::strtoul(value.c_str(), &end, 0);
      if (name.empty() || value.empty() || *end != '\0') {
        Fail(file_, line_, "a #define must give a plain number");
      }
      defines_[name] = static_cast<std::uint32_t>(number);
    } else if (directive == "#include") {
      std::string path;
      in >> path;
      if (path.size() < 2 || path.front() != '"') return;
      std::string root = file_.substr(0, file_.find_last_of('/'));
      root =
          root.substr(0, root.find_last_of('/') == std::string::npos ? 0 : root.find_last_of('/'));
      std::string full = (root.empty() ? "" : root + "/") + path.substr(1, path.size() - 2);
      std::ifstream header(full, std::ios::binary);
      if (!header) Fail(file_, line_, "cannot open the included " + full);
      std::string text;
      while (std::getline(header, text)) {
        if (text.rfind("#define", 0) == 0) Directive(text);
      }
    }
  }

  Token ReadString() {
    Token t{Token::String, "", 0, false, line_};
    ++pos_;
    for (;;) {
      if (pos_ >= text_.size() || text_[pos_] == '\n') Fail(file_, t.line, "unterminated string");
      char c = text_[pos_++];
      if (c == '"') {
        if (pos_ < text_.size() && text_[pos_] == '"') {  // "" stands for one quote
          t.text += '"';
          ++pos_;
          continue;
        }
        return t;
      }
      if (c == '\\') {
        const char e = pos_ < text_.size() ? text_[pos_++] : '\0';
        constexpr std::string_view escapes = "n\nt\tr\r\\\\\"\"";  // pairs: letter, character
        const std::size_t at = e == '\0' ? std::string_view::npos : escapes.find(e);
        if (at == std::string_view::npos || at % 2 != 0) {
          Fail(file_, line_, std::string("unknown escape \\") + e);
        }
        t.text += escapes[at + 1];
        continue;
      }
      t.text += c;
    }
  }

  Token ReadNumber() {
    Token t{Token::Number, "", 0, false, line_};
    bool negative = text_[pos_] == '-';
    if (negative) ++pos_;
    std::size_t start = pos_;
    int base = 10;
    if (text_.compare(pos_, 2, "0x") == 0 || text_.compare(pos_, 2, "0X") == 0) {
      base = 16;
      pos_ += 2;
      start = pos_;
    }
    std::uint64_t value = 0;
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      const char lower = static_cast<char>(c | 0x20);
      const int digit = IsDigit(c)                                   ? c - '0'
                        : base == 16 && lower >= 'a' && lower <= 'f' ? lower - 'a' + 10
                                                                     : -1;
      if (digit < 0) break;
      value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
      if (value > 0xFFFFFFFFu) Fail(file_, line_, "number too large");
      ++pos_;
    }
    if (pos_ == start) Fail(file_, line_, "malformed number");
    while (pos_ < text_.size() &&
           (text_[pos_] == 'L' || text_[pos_] == 'l' || text_[pos_] == 'U' || text_[pos_] == 'u')) {
      if ((text_[pos_] | 0x20) == 'l') t.isLong = true;
      ++pos_;
    }
    if (pos_ < text_.size() && (IsWordChar(text_[pos_]) || IsDigit(text_[pos_]))) {
      Fail(file_, line_, "malformed number");
    }
    t.value = static_cast<std::uint32_t>(negative ? (0 - value) : value);
    return t;
  }

  std::string_view text_;
  const std::string& file_;
  std::size_t pos_ = 0;
  int line_ = 1;
  std::map<std::string, std::uint32_t> defines_;
};

class Parser {
 public:
  Parser(std::vector<Token> tokens, const std::string& file)
      : tokens_(std::move(tokens)), file_(file) {}

  sim::ResourceScript Run() {
    while (Peek().kind != Token::End) Statement();
    return std::move(script_);
  }

 private:
  const Token& Peek() const { return tokens_[pos_]; }
  const Token& Next() {
    const Token& t = tokens_[pos_];
    if (t.kind != Token::End) ++pos_;
    return t;
  }
  bool IsWord(const Token& t, const char* word) const {
    return t.kind == Token::Word && t.text == word;
  }
  [[noreturn]] void FailAt(const Token& t, const std::string& message) const {
    Fail(file_, t.line, message + (t.text.empty() ? "" : " near '" + t.text + "'"));
  }
  const Token& Expect(Token::Kind kind, const char* what) {
    const Token& t = Next();
    if (t.kind != kind) FailAt(t, std::string("expected ") + what);
    return t;
  }
  void ExpectWord(const char* word) {
    const Token& t = Next();
    if (!IsWord(t, word)) FailAt(t, std::string("expected ") + word);
  }
  void SkipComma() {
    if (Peek().kind == Token::Comma) Next();
  }
  int Int(const char* what) {
    SkipComma();
    return static_cast<int>(Expect(Token::Number, what).value);
  }
  std::u16string Text(const char* what) {
    SkipComma();
    return sim::FromUtf8(Expect(Token::String, what).text);
  }

  void Statement() {
    const Token& first = Next();
    if (IsWord(first, "LANGUAGE")) {  // the rest of its line
      while (Peek().kind != Token::End && Peek().line == first.line) Next();
      return;
    }
    if (IsWord(first, "STRINGTABLE")) return StringTable();
    if (first.kind != Token::Number && first.kind != Token::Word) FailAt(first, "expected a name");
    const Token& type = Expect(Token::Word, "a resource type");
    if (type.text == "ICON") {
      if (first.kind != Token::Number) FailAt(first, "icon names must be numbers");
      const Token& file = Expect(Token::String, "an icon file");
      script_.Icons.emplace_back(static_cast<int>(first.value), file.text);
    } else if (type.text == "MENU") {
      if (first.kind != Token::Number) FailAt(first, "menu names must be numbers");
      script_.Menus.emplace_back(static_cast<int>(first.value), MenuBody());
    } else if (type.text == "DIALOG") {
      if (first.kind != Token::Number) FailAt(first, "dialog names must be numbers");
      Dialog(static_cast<int>(first.value));
    } else if (type.text == "VERSIONINFO") {
      SkipVersionInfo();
    } else if (type.text == "BEGIN" || type.text == "END") {
      FailAt(type, "expected a resource type");
    } else {
      Custom(first, type.text);
    }
  }

  // The version resource is shown only in the file's properties: its fixed lines and its nested
  // blocks are passed over.
  void SkipVersionInfo() {
    int depth = 0;
    for (;;) {
      const Token& t = Next();
      if (t.kind == Token::End) FailAt(t, "unterminated VERSIONINFO");
      if (IsWord(t, "BEGIN")) ++depth;
      if (IsWord(t, "END") && --depth == 0) return;
    }
  }

  void StringTable() {
    ExpectWord("BEGIN");
    while (!IsWord(Peek(), "END")) {
      int id = static_cast<int>(Expect(Token::Number, "a string id").value);
      script_.Strings.emplace_back(id, Text("a string"));
    }
    Next();
  }

  std::vector<sim::MenuItem> MenuBody() {
    std::vector<sim::MenuItem> items;
    ExpectWord("BEGIN");
    for (;;) {
      const Token& t = Next();
      if (IsWord(t, "END")) return items;
      if (IsWord(t, "POPUP")) {
        sim::MenuItem popup{0, Text("a caption"), false, false, false, {}, true};
        MenuOptions(&popup);
        popup.Submenu = MenuBody();
        items.push_back(std::move(popup));
      } else if (IsWord(t, "MENUITEM")) {
        if (IsWord(Peek(), "SEPARATOR")) {
          Next();
          items.push_back({0, u"", true, false, false, {}, false});
          continue;
        }
        sim::MenuItem item{0, Text("a caption"), false, false, false, {}, false};
        item.Id = static_cast<std::uint32_t>(Int("a command id"));
        MenuOptions(&item);
        items.push_back(std::move(item));
      } else {
        FailAt(t, "expected POPUP, MENUITEM or END");
      }
    }
  }

  void MenuOptions(sim::MenuItem* item) {
    while (Peek().kind == Token::Comma) {
      Next();
      const Token& t = Expect(Token::Word, "a menu option");
      if (t.text != "CHECKED" && t.text != "GRAYED") FailAt(t, "unknown menu option");
      (t.text == "CHECKED" ? item->Checked : item->Grayed) = true;
    }
  }

  std::uint32_t StyleExpression() {
    std::uint32_t style = 0;
    for (;;) {
      bool negate = false;
      if (IsWord(Peek(), "NOT")) {
        Next();
        negate = true;
      }
      const Token& t = Next();
      std::uint32_t value = 0;
      if (t.kind == Token::Number) {
        value = t.value;
      } else if (t.kind == Token::Word) {
        const StyleName* name = std::find_if(std::begin(StyleNames), std::end(StyleNames),
                                             [&](const StyleName& n) { return t.text == n.Name; });
        if (name == std::end(StyleNames)) FailAt(t, "unknown style name");
        value = name->Value;
      } else {
        FailAt(t, "expected a style");
      }
      style = negate ? (style & ~value) : (style | value);
      if (Peek().kind != Token::Pipe) return style;
      Next();
    }
  }

  void Dialog(int id) {
    sim::DialogTemplate dialog{id, 0, 0, 0, 0, 0, u"", 0, u"", {}};
    dialog.X = static_cast<int>(Expect(Token::Number, "x").value);
    dialog.Y = Int("y");
    dialog.Width = Int("width");
    dialog.Height = Int("height");
    for (;;) {
      const Token& t = Next();
      if (IsWord(t, "BEGIN")) break;
      if (IsWord(t, "STYLE")) {
        dialog.Style = StyleExpression();
      } else if (IsWord(t, "CAPTION")) {
        dialog.Caption = Text("a caption");
      } else if (IsWord(t, "FONT")) {
        dialog.FontSize = static_cast<int>(Expect(Token::Number, "a font size").value);
        dialog.FontName = Text("a font name");
      } else {
        FailAt(t, "unknown dialog statement");
      }
    }
    for (;;) {
      const Token& t = Next();
      if (IsWord(t, "END")) break;
      if (!IsWord(t, "CONTROL")) FailAt(t, "expected CONTROL or END");
      sim::DialogControl control{Text("a control text"), 0, u"", 0, 0, 0, 0, 0};
      control.Id = Int("a control id");
      SkipComma();
      const Token& cls = Next();
      if (cls.kind != Token::String && cls.kind != Token::Word) FailAt(cls, "expected a class");
      control.ClassName = sim::FromUtf8(cls.text);
      SkipComma();
      control.Style = StyleExpression();
      control.X = Int("x");
      control.Y = Int("y");
      control.Width = Int("width");
      control.Height = Int("height");
      dialog.Controls.push_back(std::move(control));
    }
    script_.Dialogs.push_back(std::move(dialog));
  }

  void Custom(const Token& name, const std::string& type) {
    sim::ResourceScript::Custom resource{
        sim::FromUtf8(name.kind == Token::Number ? std::to_string(name.value) : name.text),
        sim::FromUtf8(type),
        {}};
    ExpectWord("BEGIN");
    for (;;) {
      const Token& t = Next();
      if (IsWord(t, "END")) break;
      if (t.kind == Token::Comma) continue;
      if (t.kind != Token::Number) FailAt(t, "expected a number in raw data");
      int bytes = t.isLong ? 4 : 2;  // little-endian, as the resource compiler stores them
      for (int i = 0; i < bytes; ++i) {
        resource.Data.push_back(static_cast<std::uint8_t>((t.value >> (8 * i)) & 0xFF));
      }
    }
    script_.CustomResources.push_back(std::move(resource));
  }

  std::vector<Token> tokens_;
  const std::string& file_;
  std::size_t pos_ = 0;
  sim::ResourceScript script_;
};

}  // namespace

namespace sim {

ResourceScript ParseResourceScript(std::string_view text, const std::string& fileName) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a UTF-8 byte-order mark
  return Parser(Lexer(text, fileName).Run(), fileName).Run();
}

const ResourceScript& Resources() {
  static const ResourceScript script = [] {
    const std::string path = ZORVIK_RESOURCE_SCRIPT;
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(path, 0, "cannot open the file");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseResourceScript(text, path);
  }();
  return script;
}

}  // namespace sim
