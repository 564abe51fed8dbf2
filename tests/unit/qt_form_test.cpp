// The Qt window's part of a form, driven through Qt's own event handling on its offscreen platform:
// what it hands the form's mouse router and close query; and the text the Qt backend draws.

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QTest>
#include <QWindow>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/qt_form_peer.h"
#include "platform/qt/qt_text.h"
#include "platform/runtime.h"
#include "text_checks.h"
#include "two_pictures.h"

namespace corvane {
namespace {

// One application for the whole test program, since Qt wants no second one, gone before the process
// ends, since Qt's own statics are gone after that.
class QtApplication : public ::testing::Environment {
  public:
    static Runtime& runtime() { return *rt_; }
    void SetUp() override {
        static char name[] = "corvane_qt_tests";
        static char* argv[] = {name, nullptr};
        rt_ = createRuntime(1, argv);
    }
    void TearDown() override { rt_.reset(); }

  private:
    static inline std::unique_ptr<Runtime> rt_;
};
const auto* const kQtApplication = ::testing::AddGlobalTestEnvironment(new QtApplication);

Runtime& runtime() { return QtApplication::runtime(); }

// The pictures of TwoPictures in a shown window 30 pixels wide.
struct ShownTwoPictures : test::TwoPictures {
    ShownTwoPictures() : TwoPictures(runtime()) {
        window.setWidth(30 * runtime().screen().twipsPerPixelX());
        window.setHeight(10 * runtime().screen().twipsPerPixelY());
        window.show();
    }
    QtFormWidget& widget() { return static_cast<QtFormPeer&>(window.peer()).widget(); }
    QWindow* native() { return widget().windowHandle(); }
};

TEST(QtFormWidget, OverlappingControlsGetTheMouseByTheFormsRule) {
    ShownTwoPictures f;
    ASSERT_NE(f.native(), nullptr);
    QWindow* w = f.native();
    QTest::mousePress(w, Qt::LeftButton, {}, {12, 3});  // both lie here: the later one is on top
    QTest::mouseMove(w, {2, 4});                        // over "under" now, but "over" holds the mouse
    QTest::mousePress(w, Qt::RightButton, {}, {2, 4});
    QTest::mouseRelease(w, Qt::RightButton, {}, {2, 4});
    QTest::mouseRelease(w, Qt::LeftButton, {}, {2, 4});  // the last one up lets go
    QTest::mouseMove(w, {3, 4});
    QTest::mouseDClick(w, Qt::LeftButton, {}, {15, 5});
    f.over.setVisible(false);
    QTest::mouseClick(w, Qt::MiddleButton, {}, {12, 3});  // a hidden control takes no mouse
    // Qt moves the pointer to each new place before it presses there.
    EXPECT_EQ(f.seen, (std::vector<std::string>{
                          "move over 2,3 b0", "down over 2,3 b1", "move over -8,4 b1", "down over -8,4 b2",
                          "up over -8,4 b2", "up over -8,4 b1", "move under 3,4 b0", "move over 5,5 b0",
                          "down over 5,5 b1", "up over 5,5 b1", "dbl over", "up over 5,5 b1",
                          "move under 12,3 b0", "down under 12,3 b4", "up under 12,3 b4"}));
}

// The window system's close (Alt+F4, a close box) asks the form; only when its handlers let it unload
// does the window go, and then because the model hid it.
TEST(QtFormWidget, ACloseFromTheWindowSystemIsTheFormsQuestion) {
    ShownTwoPictures f;
    ASSERT_NE(f.native(), nullptr);
    std::vector<int> reasons;
    std::int16_t refuse = 1;
    f.window.onQueryUnload = [&](std::int16_t& cancel, std::int16_t reason) {
        reasons.push_back(reason);
        cancel = refuse;
    };
    f.native()->close();
    EXPECT_TRUE(f.window.loaded());
    EXPECT_TRUE(f.widget().isVisible());
    refuse = 0;
    f.native()->close();
    EXPECT_FALSE(f.window.loaded());
    EXPECT_FALSE(f.widget().isVisible());
    EXPECT_EQ(reasons, (std::vector<int>{kCloseFromWindow, kCloseFromWindow}));
}

// Arial is drawn with its metric twin, which takes the same room glyph for glyph.
TEST(QtText, ArialIsLiberationSansLaidOutAsGdiLaysOutText) {
    auto& text = static_cast<QtText&>(runtime().text());
    EXPECT_EQ(QFontInfo(text.qfont({.name = "Arial", .points = 9, .bold = false})).family(),
              "Liberation Sans");
    EXPECT_EQ(QFontInfo(text.qfont({.name = "arial", .points = 9, .bold = false})).family(),
              "Liberation Sans");
    test::checkTextService(text);
}

}  // namespace
}  // namespace corvane
