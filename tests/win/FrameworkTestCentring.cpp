// Where a dialog opens: over its owner when the user sees the owner, else in the work area.

#include "FrameworkTestSupport.h"

namespace fwtest {
namespace {

class Centring : public FrameworkTest {};

// The top-left corner that centres `window` on `reference`.
POINT CentreOn(const RECT& reference, const RECT& window) {
    return {(reference.left + reference.right) / 2 - Width(window) / 2,
            (reference.top + reference.bottom) / 2 - Height(window) / 2};
}

// Runs an IDD_SMALL dialog owned by an IDD_PLAIN one, which `prepareOwner` has arranged once
// it is shown; returns the inner dialog's rectangle once it is visible, and the owner's.
struct Placement {
    RECT owner{};
    RECT inner{};
};
Placement RunOwned(const std::function<void(HWND)>& prepareOwner) {
    Placement placement;
    ProbeDialog owner(IDD_PLAIN);
    owner.onShown = [&](ProbeDialog& outer) {
        prepareOwner(outer.Hwnd());
        placement.owner = WindowRect(outer.Hwnd());
        ProbeDialog inner(IDD_SMALL, &outer);
        inner.onShown = [&](ProbeDialog& self) {
            placement.inner = WindowRect(self.Hwnd());
            self.EndDialog(IDOK);
        };
        EXPECT_EQ(IDOK, inner.DoModal());
        outer.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, owner.DoModal());
    return placement;
}

void MoveTo(HWND window, int x, int y) {
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TEST_F(Centring, DialogOpensOverItsShownOwnerInsideTheWorkArea) {
    const RECT area = WorkArea();
    Placement placement =
        RunOwned([&](HWND owner) { MoveTo(owner, area.left + 40, area.top + 30); });
    const POINT overOwner = CentreOn(placement.owner, placement.inner);
    ASSERT_NE(CentreOn(area, placement.inner).x, overOwner.x);
    EXPECT_EQ(overOwner.x, placement.inner.left);
    EXPECT_EQ(overOwner.y, placement.inner.top);

    // Centred over an owner near the bottom right corner, it would stick out.
    placement = RunOwned([&](HWND owner) { MoveTo(owner, area.right - 20, area.bottom - 20); });
    EXPECT_EQ(area.right - Width(placement.inner), placement.inner.left);
    EXPECT_EQ(area.bottom - Height(placement.inner), placement.inner.top);
}

TEST_F(Centring, HiddenOwnerMeansTheWorkArea) {
    const RECT area = WorkArea();
    const Placement placement = RunOwned([&](HWND owner) {
        MoveTo(owner, area.left + 40, area.top + 30);
        ShowWindow(owner, SW_HIDE);
    });
    // Rounded as the dialog manager rounds it.
    EXPECT_NEAR(CentreOn(area, placement.inner).x, placement.inner.left, 1);
    EXPECT_NEAR(CentreOn(area, placement.inner).y, placement.inner.top, 1);
}

} // namespace
} // namespace fwtest
