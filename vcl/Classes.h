// Basic types shared by the class-library stand-in: senders, events, shift states, geometry.
#pragma once

#include <functional>

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// A set of shift keys and mouse buttons, as bit flags.
enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32
};
using TShiftState = unsigned;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// A rectangle whose right and bottom edges are excluded, as the window system's RECT.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    TRect() = default;
    TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};
inline TRect Rect(int l, int t, int r, int b) {
    return TRect(l, t, r, b);
}

struct TPoint {
    int x = 0, y = 0;
};

// Cursor numbers: positive numbers are the program's own slots in Screen->Cursors.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crHandPoint = -21;
