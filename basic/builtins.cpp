// The built-in functions.
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>

#include "basic/errors.h"
#include "basic/file_access.h"
#include "basic/file_table.h"
#include "basic/interpreter.h"
#include "basic/number_text.h"
#include "runtime/numeric.h"

namespace {

StrValue Owned(std::string_view bytes) { return StrValue{NewString(bytes), true}; }

void Drop(StrValue& v) {
  if (v.owned && v.s) StrRelease(v.s);
  v = StrValue{};
}

// Seconds since midnight, local time.
double SecondsSinceMidnight() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
#ifdef _WIN32
  const std::tm local = *std::localtime(&t);  // the C runtime's buffer is per thread there
#else
  std::tm local{};
  localtime_r(&t, &local);
#endif
  const double fraction =
      std::chrono::duration<double>(now.time_since_epoch()).count() - std::floor(std::chrono::duration<double>(now.time_since_epoch()).count());
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
}

std::string InBase(int32_t value, int base) {
  uint32_t v = static_cast<uint16_t>(value);
  if (v == 0) return "0";
  std::string out;
  while (v) {
    out.insert(out.begin(), "0123456789ABCDEF"[v % base]);
    v /= base;
  }
  return out;
}

}  // namespace

// The family's generator: a 24-bit linear congruential sequence; RND(0) repeats the last number and a
// negative argument starts the sequence again from that number.
double Interpreter::Random(double x, bool hasArgument) {
  if (hasArgument && x == 0) return lastRandom_;
  if (hasArgument && x < 0) {
    float f = static_cast<float>(x);
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    seed_ = (bits + (bits >> 24)) & 0xFFFFFF;
  }
  seed_ = (seed_ * 0xFD43FDu + 0xC39EC3u) & 0xFFFFFFu;
  lastRandom_ = static_cast<float>(seed_ / 16777216.0);
  return lastRandom_;
}

void Interpreter::Reseed(double seed) {
  const auto n = static_cast<uint32_t>(static_cast<int32_t>(std::fmod(std::trunc(seed), 65536.0)) & 0xFFFF);
  seed_ = ((n << 8) | (seed_ & 0xFF)) & 0xFFFFFF;
}

double Interpreter::NumberBuiltin(const Node& n) {
  // Functions of no argument first.
  switch (n.fn) {
    case Kw::Csrlin: return screen_.Row();
    case Kw::Point: return PointFunction(n);
    case Kw::Timer: return static_cast<float>(SecondsSinceMidnight());
    case Kw::Err: return errNumber_;
    case Kw::Erl: return errLineNumber_;
    case Kw::Rnd: return Random(n.a >= 0 ? Eval(n.a) : 1, n.a >= 0);
    default: break;
  }
  // String arguments.
  if (n.fn == Kw::Len || n.fn == Kw::Asc || n.fn == Kw::Val || n.fn == Kw::Instr) {
    if (n.fn == Kw::Instr) {
      int32_t start = 1;
      if (n.a >= 0 && !ToInteger(n.a, start)) return 0;
      StrValue s = EvalStr(n.b);
      StrValue t = EvalStr(n.c);
      double r = 0;
      if (start < 1 || start > 255) {
        Raise(kErrIllegalFunctionCall);
      } else {
        const std::string_view sv = s.View(), tv = t.View();
        if (static_cast<size_t>(start) > sv.size())
          r = 0;
        else if (tv.empty())
          r = start;
        else {
          const size_t at = sv.find(tv, static_cast<size_t>(start - 1));
          r = at == std::string_view::npos ? 0 : static_cast<double>(at + 1);
        }
      }
      Drop(s);
      Drop(t);
      return r;
    }
    StrValue s = EvalStr(n.a);
    const std::string_view v = s.View();
    double r = 0;
    if (n.fn == Kw::Len) {
      r = static_cast<double>(v.size());
    } else if (n.fn == Kw::Asc) {
      if (v.empty())
        Raise(kErrIllegalFunctionCall);
      else
        r = static_cast<unsigned char>(v[0]);
    } else {
      r = Fit(VarType::Single, ParseVal(v));
    }
    Drop(s);
    return r;
  }
  if (n.fn == Kw::Pos) {
    if (n.a >= 0 && image_.nodes[n.a].type == VarType::String) {
      StrValue s = EvalStr(n.a);
      Drop(s);
    } else if (n.a >= 0) {
      Eval(n.a);
    }
    return screen_.Column() + 1;
  }
  if (n.fn == Kw::Fre) {
    if (image_.nodes[n.a].type == VarType::String) {
      StrValue s = EvalStr(n.a);
      Drop(s);
    } else {
      Eval(n.a);
    }
    return static_cast<double>((kMaxArrayElements - arrayElements_) * 8 > 60000 ? 60000 : (kMaxArrayElements - arrayElements_) * 8);
  }
  const double x = Eval(n.a);
  if (error_) return 0;
  switch (n.fn) {
    case Kw::Abs: return Fit(n.type, std::fabs(x));
    case Kw::Int:
      // The runtime's floor within its 32-bit range; beyond it every single or double is whole already
      // or needs the full-width floor.
      return (x > -2147483648.0 && x < 2147483647.0) ? static_cast<double>(NumToInt(x)) : std::floor(x);
    case Kw::Fix: return std::trunc(x);
    case Kw::Sgn: return x > 0 ? 1 : x < 0 ? -1 : 0;
    case Kw::Sqr:
      if (x < 0) {
        Raise(kErrIllegalFunctionCall);
        return 0;
      }
      return Fit(n.type, std::sqrt(x));
    case Kw::Sin: return Fit(n.type, std::sin(x));
    case Kw::Cos: return Fit(n.type, std::cos(x));
    case Kw::Tan: return Fit(n.type, std::tan(x));
    case Kw::Atn: return Fit(n.type, std::atan(x));
    case Kw::Exp: return Fit(n.type, NumExp(x));
    case Kw::Log:
      if (x <= 0) {
        Raise(kErrIllegalFunctionCall);
        return 0;
      }
      return Fit(n.type, NumLog(x));
    case Kw::Cint: {
      int32_t i;
      ToInteger(x, i);
      return i;
    }
    case Kw::Csng: return Fit(VarType::Single, x);
    case Kw::Cdbl: return x;
    case Kw::Eof: {
      int32_t number;
      if (!ToInteger(x, number)) return 0;
      bool atEnd = false;
      const int code = FileAtEnd(*files_, number, atEnd);
      if (code) Raise(code);
      return atEnd ? -1 : 0;
    }
    case Kw::Lof: {
      Raise(kErrIllegalFunctionCall);
      return 0;
    }
    default: Raise(kErrSyntax); return 0;
  }
}

StrValue Interpreter::StringBuiltin(const Node& n) {
  auto byteArgument = [&](int32_t node, int32_t low, int32_t& out) {
    if (!ToInteger(node, out)) return false;
    if (out < low || out > 255) {
      Raise(kErrIllegalFunctionCall);
      return false;
    }
    return true;
  };
  switch (n.fn) {
    case Kw::InkeyS: return Owned(screen_.Inkey());
    case Kw::ChrS: {
      int32_t code;
      if (!byteArgument(n.a, 0, code)) return StrValue{};
      const char c = static_cast<char>(code);
      return Owned(std::string_view(&c, 1));
    }
    case Kw::StrS: {
      const double x = Eval(n.a);
      if (error_) return StrValue{};
      return Owned(FormatNumber(image_.nodes[n.a].type, x));
    }
    case Kw::SpaceS: {
      int32_t count;
      if (!byteArgument(n.a, 0, count)) return StrValue{};
      return Owned(std::string(static_cast<size_t>(count), ' '));
    }
    case Kw::StringS: {
      int32_t count, code;
      if (!byteArgument(n.a, 0, count)) return StrValue{};
      if (image_.nodes[n.b].type == VarType::String) {
        StrValue s = EvalStr(n.b);
        const std::string_view v = s.View();
        code = v.empty() ? -1 : static_cast<unsigned char>(v[0]);
        Drop(s);
        if (code < 0) {
          Raise(kErrIllegalFunctionCall);
          return StrValue{};
        }
      } else if (!byteArgument(n.b, 0, code)) {
        return StrValue{};
      }
      return Owned(std::string(static_cast<size_t>(count), static_cast<char>(code)));
    }
    case Kw::HexS:
    case Kw::OctS: {
      const double x = Eval(n.a);
      if (error_) return StrValue{};
      const double r = x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5);
      if (!(r >= -32768 && r <= 65535)) {
        Raise(kErrOverflow);
        return StrValue{};
      }
      return Owned(InBase(static_cast<int32_t>(r), n.fn == Kw::HexS ? 16 : 8));
    }
    case Kw::LeftS:
    case Kw::RightS:
    case Kw::MidS: {
      StrValue s = EvalStr(n.a);
      int32_t a = 0, b = 255;
      bool ok = byteArgument(n.b, n.fn == Kw::MidS ? 1 : 0, a);
      if (ok && n.c >= 0) ok = byteArgument(n.c, 0, b);
      if (!ok || error_) {
        Drop(s);
        return StrValue{};
      }
      const std::string_view v = s.View();
      std::string_view part;
      if (n.fn == Kw::LeftS)
        part = v.substr(0, static_cast<size_t>(a));
      else if (n.fn == Kw::RightS)
        part = v.substr(v.size() - std::min(v.size(), static_cast<size_t>(a)));
      else
        part = static_cast<size_t>(a) > v.size() ? std::string_view() : v.substr(static_cast<size_t>(a - 1), static_cast<size_t>(b));
      StrValue r = Owned(part);
      Drop(s);
      return r;
    }
    case Kw::InputS: {
      int32_t count;
      if (!byteArgument(n.a, 1, count)) return StrValue{};
      if (n.b >= 0) {
        Raise(kErrBadFileMode);
        return StrValue{};
      }
      std::string keys;
      while (static_cast<int32_t>(keys.size()) < count) {
        const std::string k = screen_.Inkey();
        if (k.empty()) {
          Raise(kErrInputPastEnd);
          return StrValue{};
        }
        keys += k;
      }
      return Owned(keys);
    }
    default: Raise(kErrSyntax); return StrValue{};
  }
}
