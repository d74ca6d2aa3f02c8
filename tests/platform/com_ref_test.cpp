// The reference owner: every way a reference moves through it leaves the
// object's count where a hand-written AddRef/Release pair would, no release
// missed and none made twice.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "platform/ole/com.h"

namespace {

using namespace platform;

class Counted final : public IUnknown {
 public:
  HRESULT QueryInterface(const IID& iid, void** object) override {
    return QueryOneInterface<IUnknown>(this, IID_IUnknown, iid, object);
  }
  uint32_t AddRef() override { return ++references; }
  uint32_t Release() override { return --references; }

  uint32_t references = 1;  // the test's own
};

TEST(ComRef, EachReferenceIsReleasedExactlyOnce) {
  struct Case {
    const char* name;
    std::function<void(Counted& a, Counted& b)> steps;
    uint32_t after;  // a's count once the steps' owners are gone; b's is back at 1
  };
  const Case cases[] = {
      {"shared and dropped", [](Counted& a, Counted&) { ComRef<Counted>::Share(&a); }, 1},
      {"adopted and dropped",
       [](Counted& a, Counted&) {
         a.AddRef();
         ComRef<Counted>::Adopt(&a);
       },
       1},
      {"moved along",
       [](Counted& a, Counted&) {
         ComRef<Counted> first = ComRef<Counted>::Share(&a);
         ComRef<Counted> second(std::move(first));
         ComRef<Counted> third;
         third = std::move(second);
         EXPECT_EQ(a.references, 2u);
       },
       1},
      {"moved over a held one",
       [](Counted& a, Counted& b) {
         ComRef<Counted> held = ComRef<Counted>::Share(&a);
         held = ComRef<Counted>::Share(&b);
         EXPECT_EQ(a.references, 1u);
         EXPECT_EQ(b.references, 2u);
       },
       1},
      {"moved onto itself",
       [](Counted& a, Counted&) {
         ComRef<Counted> held = ComRef<Counted>::Share(&a);
         ComRef<Counted>& same = held;
         held = std::move(same);
         EXPECT_EQ(held.get(), &a);
         EXPECT_EQ(a.references, 2u);
       },
       1},
      {"reset twice",
       [](Counted& a, Counted&) {
         ComRef<Counted> held = ComRef<Counted>::Share(&a);
         held.Reset();
         held.Reset();
         EXPECT_FALSE(held);
       },
       1},
      {"handed out",
       [](Counted& a, Counted&) {
         ComRef<Counted> held = ComRef<Counted>::Share(&a);
         EXPECT_EQ(held.Detach(), &a);
         EXPECT_FALSE(held);
       },
       2},
      {"handed out by QueryInterface",
       [](Counted& a, Counted&) {
         void* object = nullptr;
         EXPECT_EQ(a.QueryInterface(IID_IDropTarget, &object), E_NOINTERFACE);
         EXPECT_EQ(object, nullptr);
         EXPECT_EQ(a.QueryInterface(IID_IUnknown, &object), S_OK);
         ComRef<IUnknown>::Adopt(static_cast<IUnknown*>(object));
       },
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Counted a, b;
    c.steps(a, b);
    // A leak leaves a count high, a second release low.
    EXPECT_EQ(a.references, c.after);
    EXPECT_EQ(b.references, 1u);
  }
}

}  // namespace
