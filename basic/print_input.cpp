// PRINT, PRINT USING, WRITE and INPUT, to and from the screen or an open file.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "basic/errors.h"
#include "basic/file_table.h"
#include "basic/interpreter.h"
#include "basic/number_text.h"
#include "basic/print_using.h"

namespace {

// Print zones are this many columns wide.
constexpr int kZoneWidth = 14;
// A file's lines are not wrapped; zones and TAB count up to this width.
constexpr int kFileWidth = 255;

enum PrintItem : int32_t { kItemExpr, kItemComma, kItemSemicolon, kItemTab, kItemSpc };

void Drop(StrValue& v) {
  if (v.owned && v.s) StrRelease(v.s);
  v = StrValue{};
}

}  // namespace

// Where PRINT and WRITE put their text: the screen, or file `number`.
class PrintWriter {
 public:
  PrintWriter(Interpreter& in, int32_t file) : in_(in), file_(file) {}
  int Column() {
    if (file_ < 0) return in_.screen_.Column();
    int column = 1;
    Check(in_.files_->Column(file_, column));
    return column - 1;
  }
  int Width() const { return file_ < 0 ? in_.screen_.Width() : kFileWidth; }
  void Text(std::string_view bytes) {
    if (file_ < 0)
      in_.screen_.Write(bytes);
    else
      Check(in_.files_->Write(file_, bytes));
  }
  void NewLine() {
    if (file_ < 0)
      in_.screen_.NewLine();
    else
      Check(in_.files_->Write(file_, kFileLineEnd));
  }
  void Spaces(int count) {
    if (count > 0) Text(std::string(static_cast<size_t>(count), ' '));
  }

 private:
  void Check(int code) {
    if (code) in_.Raise(code);
  }
  Interpreter& in_;
  int32_t file_;
};

std::string Interpreter::FormatNumber(VarType type, double value) const {
  switch (type) {
    case VarType::Integer:
      if (value >= -32768 && value <= 32767) return FormatInteger(static_cast<int32_t>(value));
      return FormatSingle(static_cast<float>(value));
    case VarType::Single: return FormatSingle(static_cast<float>(value));
    default: return FormatDouble(value);
  }
}

bool Interpreter::FileArgument(int32_t node, int32_t& number) {
  if (!ToInteger(node, number)) return false;
  if (number < 1 || number > FileTable::kMaxFiles) {
    Raise(kErrBadFileNumber);
    return false;
  }
  return true;
}

void Interpreter::ExecPrint(const Stmt& s) {
  int32_t file = -1;
  if (s.a >= 0 && !FileArgument(s.a, file)) return;
  PrintWriter out(*this, file);
  const int32_t* items = image_.aux.data() + s.b;
  const int32_t count = s.c;
  bool newline = true;

  if (s.d >= 0) {
    // PRINT USING: every value first, then the format lays them out.
    StrValue format = EvalStr(s.d);
    std::vector<StrValue> strings;
    std::vector<UsingItem> values;
    for (int32_t i = 0; i < count && !error_; ++i) {
      const int32_t kind = items[2 * i], node = items[2 * i + 1];
      newline = kind == kItemExpr;
      if (kind != kItemExpr) continue;
      const Node& n = image_.nodes[node];
      if (n.type == VarType::String) {
        strings.push_back(EvalStr(node));
        values.push_back(UsingItem{true, 0, false, {}});
      } else {
        values.push_back(UsingItem{false, Eval(node), n.type == VarType::Double, {}});
      }
    }
    size_t next = 0;
    for (UsingItem& v : values)
      if (v.isString) v.text = strings[next++].View();
    if (!error_) {
      std::string text;
      const int code = FormatUsing(format.View(), values, text);
      out.Text(text);
      if (code) Raise(code);
    }
    for (StrValue& v : strings) Drop(v);
    Drop(format);
    if (!error_ && newline) out.NewLine();
    return;
  }

  for (int32_t i = 0; i < count && !error_; ++i) {
    const int32_t kind = items[2 * i], node = items[2 * i + 1];
    // A list that ends in ; , TAB or SPC keeps the cursor on the line.
    newline = kind == kItemExpr;
    switch (kind) {
      case kItemExpr: {
        const Node& n = image_.nodes[node];
        if (n.type == VarType::String) {
          StrValue v = EvalStr(node);
          if (!error_) {
            // A string that does not fit in the rest of the line starts on the next one (and wraps
            // only when it is wider than the line).
            const int column = out.Column();
            if (column > 0 && column + static_cast<int>(v.View().size()) > out.Width()) out.NewLine();
            out.Text(v.View());
          }
          Drop(v);
          break;
        }
        const double v = Eval(node);
        if (error_) break;
        std::string text = FormatNumber(n.type, v);
        // A number is never split at the end of a line.
        const int column = out.Column();
        if (column > 0 && column + static_cast<int>(text.size()) > out.Width()) out.NewLine();
        text += ' ';
        out.Text(text);
        break;
      }
      case kItemComma: {
        // The next zone, or the next line when no zone starts on this one (80 columns: zones at 0,
        // 14, 28, 42, 56 and 70).
        const int column = out.Column();
        const int next = (column / kZoneWidth + 1) * kZoneWidth;
        if (next >= out.Width())
          out.NewLine();
        else
          out.Spaces(next - column);
        break;
      }
      case kItemSemicolon: break;
      case kItemTab:
      case kItemSpc: {
        int32_t n;
        if (!ToInteger(node, n)) break;
        const int width = out.Width();
        if (kind == kItemSpc) {
          if (n < 0) n = 0;
          out.Spaces(n % width);
          break;
        }
        if (n < 1) n = 1;
        const int target = (n - 1) % width;
        const int column = out.Column();
        if (column > target) {
          out.NewLine();
          out.Spaces(target);
        } else {
          out.Spaces(target - column);
        }
        break;
      }
    }
  }
  if (!error_ && newline) out.NewLine();
}

// WRITE: values separated by commas, strings in quotes, numbers without the blanks PRINT adds.
void Interpreter::ExecWrite(const Stmt& s) {
  int32_t file = -1;
  if (s.a >= 0 && !FileArgument(s.a, file)) return;
  std::string line;
  for (int32_t i = 0; i < s.c && !error_; ++i) {
    const int32_t node = image_.aux[s.b + i];
    if (i) line += ',';
    if (image_.nodes[node].type == VarType::String) {
      StrValue v = EvalStr(node);
      line += '"';
      line.append(v.View());
      line += '"';
      Drop(v);
    } else {
      const double v = Eval(node);
      std::string text = FormatNumber(image_.nodes[node].type, v);
      if (!text.empty() && text[0] == ' ') text.erase(0, 1);
      line += text;
    }
  }
  if (error_) return;
  PrintWriter out(*this, file);
  out.Text(line);
  out.NewLine();
}

// INPUT's line into fields: commas separate them; a field may be quoted, which keeps commas and
// blanks; blanks around an unquoted field do not count. False when the count or a number is wrong.
bool Interpreter::SplitInput(std::string_view line, const Stmt& s, std::vector<std::string>& fields) {
  fields.clear();
  size_t i = 0;
  for (int32_t k = 0; k < s.c; ++k) {
    while (i < line.size() && line[i] == ' ') ++i;
    std::string field;
    bool quoted = false;
    if (i < line.size() && line[i] == '"') {
      quoted = true;
      const size_t close = line.find('"', i + 1);
      field = std::string(line.substr(i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1));
      i = close == std::string_view::npos ? line.size() : close + 1;
      while (i < line.size() && line[i] == ' ') ++i;
      if (i < line.size() && line[i] != ',') return false;
    } else {
      const size_t comma = line.find(',', i);
      field = std::string(line.substr(i, comma == std::string_view::npos ? std::string_view::npos : comma - i));
      i = comma == std::string_view::npos ? line.size() : comma;
      while (!field.empty() && field.back() == ' ') field.pop_back();
    }
    const int32_t target = image_.aux[s.b + k];
    if (image_.nodes[target].type != VarType::String) {
      double value;
      if (quoted || !ParseInputNumber(field, value)) return false;
    }
    fields.push_back(std::move(field));
    if (k + 1 < s.c) {
      if (i >= line.size()) return false;  // too few
      ++i;                                 // the comma
    }
  }
  return i >= line.size();  // too many
}

bool Interpreter::AssignField(int32_t target, std::string_view text, bool) {
  if (image_.nodes[target].type == VarType::String) {
    if (text.size() > kMaxStringLength) text = text.substr(0, kMaxStringLength);
    TrackedString s = nullptr;
    if (!text.empty()) {
      s = StrNew(static_cast<int32_t>(text.size()));
      std::memcpy(s, text.data(), text.size());
    }
    AssignString(target, StrValue{s, true});
  } else {
    double value = 0;
    ParseInputNumber(text, value);
    AssignNumber(target, value);
  }
  return !error_;
}

void Interpreter::ExecInput(const Stmt& s) {
  if (s.a >= 0) {
    // INPUT #: one item a variable.
    int32_t file;
    if (!FileArgument(s.a, file)) return;
    for (int32_t k = 0; k < s.c && !error_; ++k) {
      const int32_t target = image_.aux[s.b + k];
      const bool wantString = image_.nodes[target].type == VarType::String;
      std::string item;
      const int code = files_->ReadItem(file, wantString, item);
      if (code) {
        Raise(code);
        return;
      }
      if (wantString)
        AssignField(target, item, false);
      else
        AssignNumber(target, ParseVal(item));
    }
    return;
  }
  std::vector<std::string> fields;
  std::string line;
  for (;;) {
    if (!ReadTypedLine(s, (s.e & 1) != 0, line)) return;
    if (SplitInput(line, s, fields)) break;
    screen_.Write("?Redo from start");
    screen_.NewLine();
  }
  for (int32_t k = 0; k < s.c && !error_; ++k) AssignField(image_.aux[s.b + k], fields[k], false);
}

// The prompt of an INPUT or LINE INPUT statement (and "? " when asked), then one typed line. False when
// none comes: the run is being stopped, or the input has ended ("Input past end").
bool Interpreter::ReadTypedLine(const Stmt& s, bool question, std::string& line) {
  if (s.d >= 0) screen_.Write(StrValue{image_.constants[image_.nodes[s.d].a], false}.View());
  if (question) screen_.Write("? ");
  if (screen_.ReadLine(line, (s.e & 2) != 0)) return true;
  if (basicStopRequest.load() != 0)
    finished_ = !BackEdge();
  else
    Raise(kErrInputPastEnd);
  return false;
}

void Interpreter::ExecLineInput(const Stmt& s) {
  const int32_t target = image_.aux[s.b];
  std::string line;
  if (s.a >= 0) {
    int32_t file;
    if (!FileArgument(s.a, file)) return;
    const int code = files_->ReadLine(file, line);
    if (code) {
      Raise(code);
      return;
    }
  } else if (!ReadTypedLine(s, false, line)) {
    return;
  }
  AssignField(target, line, false);
}

void Interpreter::ExecRandomize(const Stmt& s) {
  if (s.a >= 0) {
    const double seed = Eval(s.a);
    if (!error_) Reseed(seed);
    return;
  }
  std::string line;
  for (;;) {
    screen_.Write("Random number seed (-32768 to 32767)? ");
    if (!screen_.ReadLine(line, false)) {
      if (basicStopRequest.load() != 0)
        finished_ = !BackEdge();
      else
        Raise(kErrInputPastEnd);
      return;
    }
    double value;
    if (ParseInputNumber(line, value) && value >= -32768 && value <= 32767) {
      Reseed(value);
      return;
    }
    screen_.Write("?Redo from start");
    screen_.NewLine();
  }
}
