// A drop object registers one window in its life; a window takes one drop
// target, and loses it when it is destroyed.
#include <gtest/gtest.h>

#include "drop_fixture.h"
#include "platform/ole/drag_dispatch.h"
#include "platform/windows/window.h"
#include "runtime/core/notify.h"
#include "runtime/units/drop_object/drop_object.h"

namespace dragdrop_test {

using runtime::units::drop_object::DropObject;
namespace {

using namespace platform;

TEST_F(DropTest, ADropObjectRegistersOnlyOnce) {
  Start({0, 0, 0, 1});
  const HWND box1 = WindowOf(kBox1), box2 = WindowOf(kBox2);
  EXPECT_TRUE(Register(kDrop1, box1));
  EXPECT_FALSE(Register(kDrop1, box1));
  EXPECT_FALSE(Register(kDrop1, box2));  // also with another window
  // A first call that fails uses up the one try as well.
  EXPECT_FALSE(Register(kDrop2, box1));  // box 1 has its target already
  EXPECT_FALSE(Register(kDrop2, box2));
  DragAndDrop(OfferFiles({"/x.jpg"}), CentreOf(kBox2));
  EXPECT_TRUE(Events().empty());
  // The unit whose try failed takes nobody's registration with it.
  DestroyWindow(WindowOf(kDrop2));
  DragAndDrop(OfferFiles({"/y.jpg"}), CentreOf(kBox1));
  EXPECT_EQ(Events(), (EventLog{{3, "/y.jpg"}}));
}

TEST_F(DropTest, RegistrationRefusesBadWindowsAndSecondTargets) {
  Start({0, 0, 0, 1});
  auto* unit =
      reinterpret_cast<runtime::UnitObject*>(runtime::NotifyRuntime(runtime::notify::kFindUnitObject, kWindow, kDrop2));
  IDropTarget* other = &dynamic_cast<runtime::units::drop_object::DropObject*>(unit)->Target();
  const HWND box1 = WindowOf(kBox1);
  ASSERT_TRUE(Register(kDrop1, box1));
  EXPECT_EQ(RegisterDragDrop(box1, other), DRAGDROP_E_ALREADYREGISTERED);
  EXPECT_EQ(RegisterDragDrop(0x00FFFFF0, other), DRAGDROP_E_INVALIDHWND);
  EXPECT_EQ(RegisterDragDrop(WindowOf(kBox2), nullptr), E_INVALIDARG);
  EXPECT_EQ(RevokeDragDrop(WindowOf(kBox2)), DRAGDROP_E_NOTREGISTERED);
  // The registration goes with the window: nothing is left to revoke, and
  // a drop there reaches no target.
  const POINT centre = CentreOf(kBox1);
  DestroyWindow(box1);
  EXPECT_EQ(RevokeDragDrop(box1), DRAGDROP_E_INVALIDHWND);
  DragAndDrop(OfferFiles({"/x.jpg"}), centre);
  EXPECT_TRUE(Events().empty());
}

TEST_F(DropTest, TheDropObjectLeavesNoRegistrationBehind) {
  Start({0, 0, 0, 1});
  const HWND box1 = WindowOf(kBox1);
  ASSERT_TRUE(Register(kDrop1, box1));
  // The unit revokes when its window goes; the box then takes another target.
  DestroyWindow(WindowOf(kDrop1));
  EXPECT_EQ(RevokeDragDrop(box1), DRAGDROP_E_NOTREGISTERED);
  EXPECT_TRUE(Register(kDrop2, box1));
  DragAndDrop(OfferFiles({"/x.jpg"}), CentreOf(kBox1));
  EXPECT_EQ(Events(), (EventLog{{3, "/x.jpg"}}));
}

}  // namespace
}  // namespace dragdrop_test
