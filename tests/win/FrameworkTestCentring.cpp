// Where the framework places a dialog after OnInitDialog.

#include "FrameworkTestSupport.h"

namespace fwtest {
namespace {

class Centring : public FrameworkTest {};

// The top-left corner that centres `window` on `reference` (before any push into the work
// area): the midpoint of the reference less half the size, in integer arithmetic.
POINT CentreOn(const RECT& reference, const RECT& window) {
    return {(reference.left + reference.right) / 2 - Width(window) / 2,
            (reference.top + reference.bottom) / 2 - Height(window) / 2};
}

void ExpectAt(POINT expected, const RECT& actual) {
    EXPECT_EQ(expected.x, actual.left);
    EXPECT_EQ(expected.y, actual.top);
}

// Runs `templateId` alone and returns its rectangle once it is visible.
RECT PlacedRect(ProbeDialog& dialog) {
    RECT placed{};
    dialog.onShown = [&](ProbeDialog& self) {
        placed = WindowRect(self.Hwnd());
        self.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    return placed;
}

// Runs `innerTemplate` owned by an IDD_PLAIN dialog that `prepareOwner` has arranged (from
// the owner's first tick as a visible window); returns the owner's rectangle at that moment
// and the inner dialog's once visible.
struct OwnedPlacement {
    RECT owner{};
    RECT inner{};
    RECT innerAtInit{};
};
OwnedPlacement RunOwned(UINT innerTemplate, const std::function<void(ProbeDialog&)>& prepareOwner) {
    OwnedPlacement placement;
    ProbeDialog owner(IDD_PLAIN);
    owner.onShown = [&](ProbeDialog& outer) {
        prepareOwner(outer);
        placement.owner = WindowRect(outer.Hwnd());
        ProbeDialog inner(innerTemplate, &outer);
        inner.onShown = [&](ProbeDialog& self) {
            placement.inner = WindowRect(self.Hwnd());
            self.EndDialog(IDOK);
        };
        EXPECT_EQ(IDOK, inner.DoModal());
        placement.innerAtInit = inner.initRect;
        ShowWindow(outer.Hwnd(), SW_RESTORE);
        outer.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, owner.DoModal());
    return placement;
}

void MoveTo(HWND window, int x, int y) {
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// An owner away from the work area's centre, so that centring on it and on the work area
// give different places.
void MoveOffCentre(ProbeDialog& owner) {
    RECT area = WorkArea();
    MoveTo(owner.Hwnd(), area.left + 40, area.top + 30);
}

TEST_F(Centring, UnownedDialogIsCentredInTheWorkArea) {
    ProbeDialog dialog(IDD_PLAIN);
    RECT placed = PlacedRect(dialog);
    ExpectAt(CentreOn(WorkArea(), placed), placed);
}

TEST_F(Centring, OwnedDialogIsCentredOverItsOwner) {
    // IDD_SMALL is in the older template format.
    OwnedPlacement placement = RunOwned(IDD_SMALL, MoveOffCentre);
    ASSERT_NE(CentreOn(WorkArea(), placement.inner).x,
              CentreOn(placement.owner, placement.inner).x);
    ExpectAt(CentreOn(placement.owner, placement.inner), placement.inner);
}

TEST_F(Centring, MinimisedOwnerMeansTheWorkArea) {
    OwnedPlacement placement = RunOwned(IDD_SMALL, [](ProbeDialog& owner) {
        MoveOffCentre(owner);
        ShowWindow(owner.Hwnd(), SW_MINIMIZE);
        ASSERT_TRUE(IsIconic(owner.Hwnd()));
    });
    ExpectAt(CentreOn(WorkArea(), placement.inner), placement.inner);
}

TEST_F(Centring, HiddenOwnerMeansTheWorkArea) {
    OwnedPlacement placement = RunOwned(IDD_SMALL, [](ProbeDialog& owner) {
        MoveOffCentre(owner);
        ShowWindow(owner.Hwnd(), SW_HIDE);
    });
    ExpectAt(CentreOn(WorkArea(), placement.inner), placement.inner);
}

TEST_F(Centring, PlacedTemplateIsNotMoved) {
    ProbeDialog dialog(IDD_PLACED);
    RECT placed = PlacedRect(dialog);
    ASSERT_NE(CentreOn(WorkArea(), placed).x, placed.left);
    ExpectAt({dialog.initRect.left, dialog.initRect.top}, placed);
}

TEST_F(Centring, TemplateCentredByTheDialogManagerIsNotMoved) {
    // The dialog manager centres DS_CENTER on the work area; the framework would have centred
    // it over the owner.
    OwnedPlacement placement = RunOwned(IDD_CENTERED, MoveOffCentre);
    ASSERT_NE(CentreOn(placement.owner, placement.inner).x, placement.innerAtInit.left);
    ExpectAt({placement.innerAtInit.left, placement.innerAtInit.top}, placement.inner);
}

TEST_F(Centring, DialogMovedByOnInitDialogStaysPut) {
    RECT area = WorkArea();
    ProbeDialog dialog(IDD_PLAIN);
    dialog.onInit = [&](ProbeDialog& self) { MoveTo(self.Hwnd(), area.left + 37, area.top + 41); };
    RECT placed = PlacedRect(dialog);
    ExpectAt({area.left + 37, area.top + 41}, placed);
}

TEST_F(Centring, DialogShownByOnInitDialogIsNotMoved) {
    ProbeDialog dialog(IDD_PLAIN);
    dialog.onInit = [](ProbeDialog& self) { ShowWindow(self.Hwnd(), SW_SHOWNORMAL); };
    RECT placed = PlacedRect(dialog);
    ASSERT_NE(CentreOn(WorkArea(), placed).x, placed.left);
    ExpectAt({dialog.initRect.left, dialog.initRect.top}, placed);
}

TEST_F(Centring, VisibleTemplateAtTheOriginIsCentredToo) {
    // The dialog manager shows such a dialog only after WM_INITDIALOG.
    ProbeDialog dialog(IDD_VISIBLE);
    RECT placed = PlacedRect(dialog);
    ExpectAt(CentreOn(WorkArea(), placed), placed);
}

TEST_F(Centring, DialogCentredPastTheTopLeftIsPushedInside) {
    RECT area = WorkArea();
    OwnedPlacement placement = RunOwned(IDD_PLAIN, [&](ProbeDialog& owner) {
        RECT rect = WindowRect(owner.Hwnd());
        MoveTo(owner.Hwnd(), area.left - Width(rect) + 20, area.top - Height(rect) + 20);
    });
    ASSERT_LT(CentreOn(placement.owner, placement.inner).x, area.left);
    ASSERT_LT(CentreOn(placement.owner, placement.inner).y, area.top);
    ExpectAt({area.left, area.top}, placement.inner);
}

TEST_F(Centring, DialogCentredPastTheBottomRightIsPushedInside) {
    RECT area = WorkArea();
    OwnedPlacement placement = RunOwned(IDD_PLAIN, [&](ProbeDialog& owner) {
        MoveTo(owner.Hwnd(), area.right - 20, area.bottom - 20);
    });
    ASSERT_GT(CentreOn(placement.owner, placement.inner).x + Width(placement.inner), area.right);
    ASSERT_GT(CentreOn(placement.owner, placement.inner).y + Height(placement.inner), area.bottom);
    ExpectAt({area.right - Width(placement.inner), area.bottom - Height(placement.inner)},
             placement.inner);
}

TEST_F(Centring, LeftAndTopEdgesWinForADialogLargerThanTheWorkArea) {
    RECT area = WorkArea();
    ProbeDialog dialog(IDD_LARGE);
    RECT placed = PlacedRect(dialog);
    ASSERT_GT(Width(placed), Width(area));
    ASSERT_GT(Height(placed), Height(area));
    ExpectAt({area.left, area.top}, placed);
}

} // namespace
} // namespace fwtest
