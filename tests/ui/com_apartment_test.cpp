// The COM apartment of the user-interface thread, on a thread of its own that has none yet.
#include "ui/com_apartment.h"

#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>

#include <gtest/gtest.h>

#include <thread>

namespace orvello::ui {
namespace {

HRESULT ApartmentOfThisThread(APTTYPE& type) {
    APTTYPEQUALIFIER qualifier{};
    return CoGetApartmentType(&type, &qualifier);
}

TEST(ComApartment, MakesTheThreadSingleThreadedUntilItGoes) {
    std::thread([] {
        APTTYPE type{};
        {
            const ComApartment apartment;
            EXPECT_TRUE(apartment.IsInitialised());
            ASSERT_EQ(ApartmentOfThisThread(type), S_OK);
            EXPECT_TRUE(type == APTTYPE_MAINSTA || type == APTTYPE_STA) << "apartment " << type;
        }
        EXPECT_EQ(ApartmentOfThisThread(type), CO_E_NOTINITIALIZED) << "COM was left initialised";
    }).join();
}

}  // namespace
}  // namespace orvello::ui
