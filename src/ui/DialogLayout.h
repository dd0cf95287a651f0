// Resizing by anchors: each registered control keeps its distance to the
// parent edges it is anchored to, so a page lays out its controls from one
// table instead of arithmetic of its own.
#pragma once

#include <windows.h>

#include <vector>

enum Anchor : unsigned {
    kAnchorLeft = 1,
    kAnchorTop = 2,
    kAnchorRight = 4,
    kAnchorBottom = 8,
    // Common combinations.
    kAnchorTopLeft = kAnchorLeft | kAnchorTop,
    kAnchorTopRight = kAnchorRight | kAnchorTop,
    kAnchorTopLeftRight = kAnchorLeft | kAnchorTop | kAnchorRight,
    kAnchorBottomLeftRight = kAnchorLeft | kAnchorBottom | kAnchorRight,
    kAnchorAll = kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom,
};

struct AnchorRule {
    int controlId;
    unsigned anchors;
};

class DialogLayout {
public:
    // Records the controls' current places relative to the parent's client
    // area; call once the dialog exists at its resource size.
    void Attach(HWND parent, const AnchorRule* rules, std::size_t count);
    // Moves the controls for a new client size.
    void Apply(int clientWidth, int clientHeight) const;
    // The window moved to a display of another scale: the recorded places
    // are taken from `fromDpi` to `toDpi`.
    void ScaleFor(int fromDpi, int toDpi);

private:
    struct Entry {
        HWND control;
        unsigned anchors;
        RECT margins; // left, top from the client's left/top; right, bottom from its right/bottom
        int width;
        int height;
    };
    HWND parent_ = nullptr;
    std::vector<Entry> entries_;
};
