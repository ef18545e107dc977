// Expressions: numbers as doubles whose rounding follows each node's type, strings as tracked strings.
#include <cfloat>
#include <cmath>
#include <cstring>

#include "basic/arrays.h"
#include "basic/errors.h"
#include "basic/interpreter.h"
#include "runtime/numeric.h"

TrackedString NewString(std::string_view bytes) {
  if (bytes.empty()) return nullptr;
  TrackedString s = StrNew(static_cast<int32_t>(bytes.size()));
  std::memcpy(s, bytes.data(), bytes.size());
  return s;
}

namespace {

void Drop(StrValue& v) {
  if (v.owned && v.s) StrRelease(v.s);
  v = StrValue{};
}

// A value the caller keeps: a temporary as it is, a borrowed one copied.
TrackedString Own(StrValue v) { return v.owned ? v.s : NewString(v.View()); }

int CompareBytes(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (c) return c;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

// The value as the node's type holds it: single precision rounded, an integer result that left the
// integer range carried on as single precision (the family's arithmetic does the same), and an
// overflow of a floating-point result reported and replaced by the largest value.
double Interpreter::Fit(VarType type, double value) {
  switch (type) {
    case VarType::Double:
      if (std::isfinite(value)) return value;
      if (std::isnan(value)) return 0;
      SoftError(kErrOverflow);
      return value > 0 ? DBL_MAX : -DBL_MAX;
    case VarType::Integer:
      if (value >= -32768 && value <= 32767) return value;
      [[fallthrough]];
    default: {
      const float f = static_cast<float>(value);
      if (std::isfinite(f)) return f;
      if (std::isnan(f)) return 0;
      SoftError(kErrOverflow);
      return value > 0 ? FLT_MAX : -FLT_MAX;
    }
  }
}

// CINT's rule: the nearest integer, halves away from zero (the runtime's NumToInt floors instead).
bool Interpreter::ToInteger(double value, int32_t& out) {
  const double r = value < 0 ? -std::floor(-value + 0.5) : std::floor(value + 0.5);
  if (!(r >= -32768 && r <= 32767)) {
    Raise(kErrOverflow);
    out = 0;
    return false;
  }
  out = static_cast<int32_t>(r);
  return true;
}

bool Interpreter::ToInteger(int32_t node, int32_t& out) {
  const double v = Eval(node);
  if (error_) {
    out = 0;
    return false;
  }
  return ToInteger(v, out);
}

// A value stored into a variable of `type`.
double Interpreter::StoreValue(VarType type, double value) {
  switch (type) {
    case VarType::Integer: {
      int32_t i;
      ToInteger(value, i);
      return i;
    }
    case VarType::Single: return Fit(VarType::Single, value);
    default: return Fit(VarType::Double, value);
  }
}

double Interpreter::Eval(int32_t index) {
  const Node& n = image_.nodes[index];
  switch (n.op) {
    case Op::Const: return n.num;
    case Op::Var: return numbers_[n.a];
    case Op::Element: {
      Array* array;
      const int64_t i = ElementIndex(n, array);
      return i < 0 ? 0 : array->numbers[i];
    }
    case Op::Neg: return Fit(n.type, -Eval(n.a));
    case Op::Add: {
      const double a = Eval(n.a);
      return Fit(n.type, a + Eval(n.b));
    }
    case Op::Sub: {
      const double a = Eval(n.a);
      return Fit(n.type, a - Eval(n.b));
    }
    case Op::Mul: {
      const double a = Eval(n.a);
      return Fit(n.type, a * Eval(n.b));
    }
    case Op::Div: return Divide(n);
    case Op::IntDiv:
    case Op::Mod: {
      int32_t a, b;
      if (!ToInteger(n.a, a) || !ToInteger(n.b, b)) return 0;
      if (b == 0) {
        SoftError(kErrDivisionByZero);
        return n.op == Op::Mod ? 0 : (a < 0 ? -32767 : 32767);
      }
      const int32_t q = a / b;
      // -32768 \ -1 leaves the integer range.
      if (n.op == Op::IntDiv) return q > 32767 ? Fit(VarType::Single, q) : q;
      return a - q * b;
    }
    case Op::Pow: return Power(n);
    case Op::Eq:
    case Op::Ne:
    case Op::Lt:
    case Op::Gt:
    case Op::Le:
    case Op::Ge:
    case Op::StrEq:
    case Op::StrNe:
    case Op::StrLt:
    case Op::StrGt:
    case Op::StrLe:
    case Op::StrGe: return Relation(n);
    case Op::Not:
    case Op::And:
    case Op::Or:
    case Op::Xor:
    case Op::Eqv:
    case Op::Imp: return Logic(n);
    case Op::Builtin: return NumberBuiltin(n);
    case Op::UserFn: return CallNumber(n);
    default: return 0;  // string nodes never reach here: the parser checked the types
  }
}

double Interpreter::Divide(const Node& n) {
  const double a = Eval(n.a);
  const double b = Eval(n.b);
  if (error_) return 0;
  if (b == 0) {
    SoftError(kErrDivisionByZero);
    const double big = n.type == VarType::Double ? DBL_MAX : FLT_MAX;
    return a < 0 ? -big : big;
  }
  return Fit(n.type, a / b);
}

double Interpreter::Power(const Node& n) {
  const double a = Eval(n.a);
  const double b = Eval(n.b);
  if (error_) return 0;
  if (a == 0 && b < 0) {
    SoftError(kErrDivisionByZero);
    return n.type == VarType::Double ? DBL_MAX : FLT_MAX;
  }
  // A negative number has no real power with a fractional exponent.
  if (a < 0 && b != std::floor(b)) {
    Raise(kErrIllegalFunctionCall);
    return 0;
  }
  return Fit(n.type, NumPow(a, b));
}

double Interpreter::Relation(const Node& n) {
  int c;
  if (n.op >= Op::StrEq) {
    StrValue a = EvalStr(n.a);
    StrValue b = EvalStr(n.b);
    c = CompareBytes(a.View(), b.View());
    Drop(a);
    Drop(b);
  } else {
    const double a = Eval(n.a);
    const double b = Eval(n.b);
    c = a < b ? -1 : a > b ? 1 : 0;
  }
  bool r;
  switch (n.op) {
    case Op::Eq: case Op::StrEq: r = c == 0; break;
    case Op::Ne: case Op::StrNe: r = c != 0; break;
    case Op::Lt: case Op::StrLt: r = c < 0; break;
    case Op::Gt: case Op::StrGt: r = c > 0; break;
    case Op::Le: case Op::StrLe: r = c <= 0; break;
    default: r = c >= 0; break;
  }
  return r ? -1 : 0;
}

// NOT AND OR XOR EQV IMP work on the 16 bits of integers.
double Interpreter::Logic(const Node& n) {
  int32_t a, b = 0;
  if (!ToInteger(n.a, a)) return 0;
  if (n.op != Op::Not && !ToInteger(n.b, b)) return 0;
  int32_t r;
  switch (n.op) {
    case Op::Not: r = ~a; break;
    case Op::And: r = a & b; break;
    case Op::Or: r = a | b; break;
    case Op::Xor: r = a ^ b; break;
    case Op::Eqv: r = ~(a ^ b); break;
    default: r = ~a | b; break;
  }
  return static_cast<int16_t>(r);
}

StrValue Interpreter::EvalStr(int32_t index) {
  const Node& n = image_.nodes[index];
  switch (n.op) {
    case Op::StrConst: return StrValue{image_.constants[n.a], false};
    case Op::StrVar: return StrValue{strings_[n.a], false};
    case Op::Element: {
      Array* array;
      const int64_t i = ElementIndex(n, array);
      return i < 0 ? StrValue{} : StrValue{array->strings[i], false};
    }
    case Op::Concat: {
      StrValue a = EvalStr(n.a);
      StrValue b = EvalStr(n.b);
      const size_t total = a.View().size() + b.View().size();
      if (error_ || total > kMaxStringLength) {
        if (!error_) Raise(kErrStringTooLong);
        Drop(a);
        Drop(b);
        return StrValue{};
      }
      if (total == 0) return StrValue{};
      TrackedString r = StrNew(static_cast<int32_t>(total));
      std::memcpy(r, a.View().data(), a.View().size());
      std::memcpy(r + a.View().size(), b.View().data(), b.View().size());
      Drop(a);
      Drop(b);
      return StrValue{r, true};
    }
    case Op::Builtin: return StringBuiltin(n);
    case Op::UserFn: return CallString(n);
    default: return StrValue{};
  }
}

double* Interpreter::NumberTarget(int32_t index) {
  const Node& n = image_.nodes[index];
  if (n.op == Op::Var) return &numbers_[n.a];
  Array* array;
  const int64_t i = ElementIndex(n, array);
  return i < 0 ? nullptr : &array->numbers[i];
}

TrackedString* Interpreter::StringTarget(int32_t index) {
  const Node& n = image_.nodes[index];
  if (n.op == Op::StrVar) return &strings_[n.a];
  Array* array;
  const int64_t i = ElementIndex(n, array);
  return i < 0 ? nullptr : &array->strings[i];
}

void Interpreter::AssignNumber(int32_t target, double value) {
  const Node& t = image_.nodes[target];
  const double v = StoreValue(t.type, value);
  if (error_) return;
  if (t.op == Op::Var) {
    numbers_[t.a] = v;
    return;
  }
  if (double* p = NumberTarget(target)) *p = v;
}

void Interpreter::AssignString(int32_t target, StrValue value) {
  TrackedString* p = StringTarget(target);
  if (!p || error_) {
    Drop(value);
    return;
  }
  TrackedString s = Own(value);
  if (*p) StrRelease(*p);
  *p = s;
}

void Interpreter::Assign(int32_t target, int32_t value) {
  if (image_.nodes[target].type == VarType::String) {
    StrValue v = EvalStr(value);
    if (error_) {
      Drop(v);
      return;
    }
    AssignString(target, v);
    return;
  }
  const double v = Eval(value);
  if (!error_) AssignNumber(target, v);
}

// ---- DEF FN ----

namespace {
// The most parameters a DEF FN may have.
constexpr int kMaxParameters = 16;
}  // namespace

// Evaluates the arguments and puts them in the parameters' slots, keeping what was there (a call of
// the same function further out) to put back after.
bool Interpreter::BindArguments(const Node& n, const Stmt*& def, double* savedNumbers, TrackedString* savedStrings) {
  if (functions_[n.a] < 0) {
    Raise(kErrUndefinedUserFunction);
    return false;
  }
  def = &image_.stmts[functions_[n.a]];
  if (def->c != n.c || n.c > kMaxParameters) {
    Raise(kErrSyntax);
    return false;
  }
  if (functionDepth_ >= kMaxFunctionDepth) {
    Raise(kErrOutOfMemory);
    return false;
  }
  double numbers[kMaxParameters];
  StrValue strings[kMaxParameters];
  for (int32_t i = 0; i < n.c; ++i) {
    const Node& param = image_.nodes[image_.aux[def->b + i]];
    const int32_t arg = image_.aux[n.b + i];
    if ((param.type == VarType::String) != (image_.nodes[arg].type == VarType::String)) {
      Raise(kErrTypeMismatch);
    } else if (param.type == VarType::String) {
      strings[i] = EvalStr(arg);
    } else {
      numbers[i] = StoreValue(param.type, Eval(arg));
    }
  }
  if (error_) {
    for (int32_t i = 0; i < n.c; ++i) Drop(strings[i]);
    return false;
  }
  for (int32_t i = 0; i < n.c; ++i) {
    const Node& param = image_.nodes[image_.aux[def->b + i]];
    if (param.type == VarType::String) {
      savedStrings[i] = strings_[param.a];
      strings_[param.a] = Own(strings[i]);
    } else {
      savedNumbers[i] = numbers_[param.a];
      numbers_[param.a] = numbers[i];
    }
  }
  ++functionDepth_;
  return true;
}

void Interpreter::UnbindArguments(const Stmt& def, const double* savedNumbers, const TrackedString* savedStrings) {
  --functionDepth_;
  for (int32_t i = 0; i < def.c; ++i) {
    const Node& param = image_.nodes[image_.aux[def.b + i]];
    if (param.type == VarType::String) {
      if (strings_[param.a]) StrRelease(strings_[param.a]);
      strings_[param.a] = savedStrings[i];
    } else {
      numbers_[param.a] = savedNumbers[i];
    }
  }
}

double Interpreter::CallNumber(const Node& n) {
  const Stmt* def;
  double savedNumbers[kMaxParameters];
  TrackedString savedStrings[kMaxParameters];
  if (!BindArguments(n, def, savedNumbers, savedStrings)) return 0;
  const double r = Eval(def->d);
  UnbindArguments(*def, savedNumbers, savedStrings);
  return error_ ? 0 : StoreValue(n.type, r);
}

StrValue Interpreter::CallString(const Node& n) {
  const Stmt* def;
  double savedNumbers[kMaxParameters];
  TrackedString savedStrings[kMaxParameters];
  if (!BindArguments(n, def, savedNumbers, savedStrings)) return StrValue{};
  // The result may be a parameter, which the unbinding releases: take a copy first.
  StrValue r = EvalStr(def->d);
  TrackedString kept = Own(r);
  UnbindArguments(*def, savedNumbers, savedStrings);
  return StrValue{kept, true};
}
