// The console's statements: their syntax (Parser::ScreenStatement) and their run
// (Interpreter::ExecScreen), and the POINT function. One statement kind, Screen, carries them all:
// a: the keyword, b: its operands in aux (a node each, -1 for one left out), c: their count,
// d: the flags below.
#include <cmath>
#include <vector>

#include "basic/errors.h"
#include "basic/graphics_ops.h"
#include "basic/interpreter.h"
#include "basic/parser.h"

namespace {

constexpr int32_t kStepFirst = 1;    // STEP before the first point: relative to the last point
constexpr int32_t kStepSecond = 2;   // STEP before the second point: relative to the first
constexpr int32_t kFirstGiven = 4;   // LINE with its start point
constexpr int32_t kPaintTile = 8;    // PAINT ..., TILE: the tile image
constexpr int32_t kShapeShift = 4;   // LINE: the shape (LineShape) in bits 4-5

void Drop(StrValue& v) {
  if (v.owned && v.s) StrRelease(v.s);
  v = StrValue{};
}

}  // namespace

void Parser::ScreenStatement(Kw kw) {
  std::vector<int32_t> ops;
  int32_t flags = 0;
  // [STEP] (x, y)
  auto pair = [&](int32_t stepFlag) {
    if (AcceptKeyword(Kw::Step)) flags |= stepFlag;
    if (!ExpectSymbol('(')) return false;
    ops.push_back(NumericExpression());
    if (Failed() || !ExpectSymbol(',')) return false;
    ops.push_back(NumericExpression());
    return !Failed() && ExpectSymbol(')');
  };
  // An argument that may be left out, after its comma has been taken.
  auto optional = [&]() {
    ops.push_back(AtSymbol(',') || AtStatementEnd() ? -1 : NumericExpression());
    return !Failed();
  };
  // Up to `count` optional arguments separated by commas, the first without a comma before it.
  auto list = [&](int count, bool leadingComma) {
    for (int i = 0; i < count; ++i) {
      if ((i > 0 || leadingComma) && !AcceptSymbol(',')) {
        ops.push_back(-1);
        continue;
      }
      if (!optional()) return false;
    }
    return true;
  };

  bool ok = true;
  switch (kw) {
    case Kw::Pset:
    case Kw::Preset:
      ok = pair(kStepFirst) && list(1, true);
      break;
    case Kw::Line: {
      if (!AtSymbol('-')) {
        flags |= kFirstGiven;
        ok = pair(kStepFirst);
      } else {
        ops.push_back(-1);
        ops.push_back(-1);
      }
      ok = ok && ExpectSymbol('-') && pair(kStepSecond) && list(1, true);
      if (ok && AcceptSymbol(',')) {
        const Token& t = Peek();
        if (t.kind == TokKind::Name && !t.hasSuffix && (t.text == "B" || t.text == "BF")) {
          flags |= static_cast<int32_t>(t.text == "B" ? LineShape::Box : LineShape::FilledBox) << kShapeShift;
          Take();
        } else {
          Fail(kErrSyntax);
          ok = false;
        }
      }
      break;
    }
    case Kw::Circle:
      // [STEP] (x, y), radius [, color [, start [, end [, aspect]]]]
      ok = pair(kStepFirst) && ExpectSymbol(',');
      if (ok) ops.push_back(NumericExpression());
      ok = ok && !Failed() && list(4, true);
      break;
    case Kw::Paint:
      // [STEP] (x, y) [, color | tile string | TILE [, border [, background]]]
      ok = pair(kStepFirst);
      if (ok && AcceptSymbol(',')) {
        if (AcceptKeyword(Kw::Tile)) {
          flags |= kPaintTile;
          ops.push_back(-1);
        } else {
          ops.push_back(AtSymbol(',') || AtStatementEnd() ? -1 : Expression());
          ok = !Failed();
        }
      } else {
        ops.push_back(-1);
      }
      ok = ok && list(1, true);
      // The family's background tile slice is taken and not used: our fill stops at the border only.
      if (ok && AcceptSymbol(',')) {
        StringExpression();
        ok = !Failed();
      }
      break;
    case Kw::Picture:
      // [STEP] (x, y), file name
      ok = pair(kStepFirst) && ExpectSymbol(',');
      if (ok) ops.push_back(StringExpression());
      ok = ok && !Failed();
      break;
    case Kw::Tile:
      // [STEP] (x1, y1) - [STEP] (x2, y2)
      ok = pair(kStepFirst) && ExpectSymbol('-') && pair(kStepSecond);
      break;
    case Kw::Showpage:
    case Kw::Showdouble:
      break;
    case Kw::Locate:
      // [row] [, [column] [, [cursor] [, start, stop]]]: the cursor's shape is not ours to set.
      ok = list(5, false);
      break;
    case Kw::Color:
      ok = list(3, false);
      break;
    case Kw::Width:
      ops.push_back(NumericExpression());
      ok = !Failed();
      break;
    default:
      Fail(kErrSyntax);
      ok = false;
      break;
  }
  if (!ok) {
    if (!Failed()) Fail(kErrSyntax);
    return;
  }
  const auto start = static_cast<int32_t>(image_.aux.size());
  image_.aux.insert(image_.aux.end(), ops.begin(), ops.end());
  Emit(StmtKind::Screen, static_cast<int32_t>(kw), start, static_cast<int32_t>(ops.size()), flags);
}

void Interpreter::ExecScreen(const Stmt& s) {
  const int32_t* ops = image_.aux.data() + s.b;
  // An operand as an integer (CINT's rounding, Overflow past 16 bits), or `fallback` when left out.
  auto number = [&](int i, int32_t fallback, int32_t& out) {
    if (ops[i] < 0) {
      out = fallback;
      return true;
    }
    return ToInteger(ops[i], out);
  };
  auto real = [&](int i, double fallback, double& out) {
    out = ops[i] < 0 ? fallback : Eval(ops[i]);
    return !error_;
  };
  auto fail = [&](int code) {
    if (code) Raise(code);
  };

  const Kw kw = static_cast<Kw>(s.a);
  switch (kw) {
    case Kw::Locate: {
      int32_t row, column, cursor;
      if (number(0, -1, row) && number(1, -1, column) && number(2, -1, cursor))
        fail(screen_.Locate(row, column, cursor));
      return;
    }
    case Kw::Color: {
      int32_t fore, back;
      if (number(0, -1, fore) && number(1, -1, back)) fail(screen_.SetColor(fore, back));
      return;
    }
    case Kw::Width: {
      int32_t width;
      if (number(0, 0, width)) fail(screen_.SetWidth(width));
      return;
    }
    default: break;
  }

  // A screen without a graphics layer draws nothing.
  GraphicsLayer* g = screen_.Graphics();
  if (!g) return;
  // The first point, made absolute.
  int32_t x = 0, y = 0;
  auto firstPoint = [&]() {
    if (!number(0, 0, x) || !number(1, 0, y)) return false;
    if (s.d & kStepFirst) {
      x += g->last.x;
      y += g->last.y;
    }
    return true;
  };
  switch (kw) {
    case Kw::Pset:
    case Kw::Preset: {
      int32_t color;
      if (firstPoint() && number(2, kw == Kw::Pset ? g->foreground : g->background, color))
        fail(g->Pset(x, y, color));
      break;
    }
    case Kw::Line: {
      int32_t x2, y2, color;
      if (s.d & kFirstGiven) {
        if (!firstPoint()) break;
      } else {
        x = g->last.x;
        y = g->last.y;
      }
      if (!number(2, 0, x2) || !number(3, 0, y2) || !number(4, g->foreground, color)) break;
      if (s.d & kStepSecond) {
        x2 += x;
        y2 += y;
      }
      fail(g->Line(x, y, x2, y2, color, static_cast<LineShape>((s.d >> kShapeShift) & 3)));
      break;
    }
    case Kw::Circle: {
      int32_t radius, color;
      CircleArc arc;
      if (!firstPoint() || !number(2, 0, radius) || !number(3, g->foreground, color)) break;
      arc.partial = ops[4] >= 0 || ops[5] >= 0;
      if (!real(4, 0, arc.start) || !real(5, 6.283185307179586, arc.end) || !real(6, 1, arc.aspect)) break;
      if (std::fabs(arc.start) > 6.2832 || std::fabs(arc.end) > 6.2832) {
        Raise(kErrIllegalFunctionCall);
        break;
      }
      fail(g->Circle(x, y, radius, color, arc));
      break;
    }
    case Kw::Paint: {
      if (!firstPoint()) break;
      if (s.d & kPaintTile) {
        int32_t border;
        if (number(3, g->foreground, border)) fail(g->PaintTileImage(x, y, border));
      } else if (ops[2] >= 0 && image_.nodes[ops[2]].type == VarType::String) {
        StrValue tile = EvalStr(ops[2]);
        int32_t border;
        if (!error_ && number(3, g->foreground, border)) fail(g->PaintPattern(x, y, tile.View(), border));
        Drop(tile);
      } else {
        int32_t color, border;
        if (number(2, g->foreground, color) && number(3, color, border)) fail(g->Paint(x, y, color, border));
      }
      break;
    }
    case Kw::Picture: {
      if (!firstPoint()) break;
      StrValue name = EvalStr(ops[2]);
      if (!error_) fail(g->Picture(x, y, name.View()));
      Drop(name);
      break;
    }
    case Kw::Tile: {
      int32_t x2, y2;
      if (!firstPoint() || !number(2, 0, x2) || !number(3, 0, y2)) break;
      if (s.d & kStepSecond) {
        x2 += x;
        y2 += y;
      }
      fail(g->CutTile(x, y, x2, y2));
      break;
    }
    case Kw::Showpage: fail(g->ShowWork()); break;
    case Kw::Showdouble: fail(g->ShowDoubled()); break;
    default: Raise(kErrSyntax); break;
  }
}

double Interpreter::PointFunction(const Node& n) {
  int32_t x, y;
  if (!ToInteger(n.a, x) || !ToInteger(n.b, y)) return 0;
  GraphicsLayer* g = screen_.Graphics();
  if (!g) return -1;
  int32_t index = -1;
  if (const int code = g->Point(x, y, index)) Raise(code);
  return index;
}
