// The Qt window's part of a form, driven through Qt's own event handling on its offscreen platform:
// what it hands the form's mouse router and close query; and the text the Qt backend draws.

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QCursor>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "about/frm_info.h"
#include "app/program.h"
#include "monitor/frm_monitor.h"
#include "options/frm_options.h"
#include "platform/qt/qt_choosers.h"
#include "platform/qt/qt_form_peer.h"
#include "platform/qt/qt_frame_widget.h"
#include "platform/qt/qt_text.h"
#include "platform/runtime.h"
#include "shell/mkesta.h"
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

// The tests' screens file (qt_screens.json) puts the primary monitor, 1024 x 768, at (1280, 0), right
// of a 1280 x 800 one at the desktop's origin.
const QPoint kPrimaryCorner{1280, 0};

// The pictures of TwoPictures in a shown window 30 pixels wide.
TEST(QtFormWidget, OverlappingControlsGetTheMouseByTheFormsRuleAndACloseIsTheFormsQuestion) {
    test::TwoPictures f(runtime());
    f.window.setWidth(30 * runtime().screen().twipsPerPixelX());
    f.window.setHeight(10 * runtime().screen().twipsPerPixelY());
    f.window.show();
    QtFormWidget& widget = static_cast<QtFormPeer&>(f.window.peer()).widget();
    QWindow* w = widget.windowHandle();
    ASSERT_NE(w, nullptr);
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

    // The window system's close (Alt+F4, a close box) asks the form; only when its handlers let it
    // unload does the window go, and then because the model hid it.
    std::vector<int> reasons;
    std::int16_t refuse = 1;
    f.window.onQueryUnload = [&](std::int16_t& cancel, std::int16_t reason) {
        reasons.push_back(reason);
        cancel = refuse;
    };
    w->close();
    EXPECT_TRUE(f.window.loaded() && widget.isVisible());
    refuse = 0;
    w->close();
    EXPECT_FALSE(f.window.loaded() || widget.isVisible());
    EXPECT_EQ(reasons, (std::vector<int>{kCloseFromWindow, kCloseFromWindow}));
}

// Arial is drawn with its metric twin, which takes the same room glyph for glyph.
TEST(QtText, ArialIsLiberationSansLaidOutAsGdiLaysOutText) {
    auto& text = static_cast<QtText&>(runtime().text());
    for (const char* name : {"Arial", "arial"})
        EXPECT_EQ(QFontInfo(text.qfont({.name = name, .points = 9, .bold = false})).family(),
                  "Liberation Sans");
    test::checkTextService(text);
}

// ---- The dialogs' controls ---------------------------------------------------------------------

QWidget* widgetOf(const Control& c) { return static_cast<QtFormPeer&>(c.owner().peer()).widgetOf(c); }

// The program over the Qt runtime, not started (no tray icon, no settings file), with the module's
// values as the load of the meter leaves them: upright, 10 thick, in the upper right corner; and its two
// dialogs, once opened, unloaded at the end.
struct Dialogs {
    Dialogs() {
        k.pGetTwipsPerPixel();
        k.pMonitorWidth = 10;
        k.pnPosOptNum = 2;
        k.pnUpright = 1;
    }
    ~Dialogs() {
        for (Form* f : {options ? &options->window : nullptr, about ? &about->window : nullptr})
            if (f) f->unload();
    }
    frmOptions& openOptions() {
        program.showOptions();
        return *(options = program.options().find());
    }
    frmInfo& openAbout() {
        program.showAbout();
        return *(about = program.about().find());
    }
    Program program{runtime()};
    mKesta& k = program.kesta();
    frmOptions* options = nullptr;
    frmInfo* about = nullptr;
};

// Every control's widget stands on the pixels the model computes, shows its text, font and state, and
// the window's client area is the model's. A picture's widget has no font: the text service draws its
// text into its pixels.
TEST(QtControls, EveryControlStandsWhereTheModelPutsIt) {
    Dialogs d;
    for (Form* form : {&d.openOptions().window, &d.openAbout().window}) {
        SCOPED_TRACE(form->name());
        QtFormWidget& w = static_cast<QtFormPeer&>(form->peer()).widget();
        EXPECT_EQ(w.size(), QSize(form->clientPixelWidth(), form->clientPixelHeight()));
        EXPECT_EQ(w.windowTitle().toStdString(), form->style().caption);
        // Framed windows, they stand where the model centres them: on the primary monitor.
        EXPECT_EQ(w.frameGeometry().topLeft(), kPrimaryCorner + QPoint(form->pixelLeft(), form->pixelTop()));
        EXPECT_TRUE(QRect(kPrimaryCorner, QSize(1024, 768)).contains(w.frameGeometry()));
        for (const auto& c : form->controls()) {
            QWidget* native = widgetOf(*c);
            ASSERT_NE(native, nullptr) << c->name();
            const PixelRect r = c->pixelRect();
            EXPECT_EQ(native->geometry(), QRect(r.left, r.top, r.width, r.height)) << c->name() << c->index();
            EXPECT_EQ(native->isVisibleTo(&w), c->visible()) << c->name();
            EXPECT_EQ(native->toolTip().toStdString(), c->toolTipText()) << c->name();
            if (!c->as<Picture>() && !c->as<Image>()) {  // a picture's text is in its pixels, not its font
                EXPECT_EQ(native->font().pixelSize(), c->font().points == 9 ? 12 : 11) << c->name();
                EXPECT_EQ(native->font().bold(), c->font().bold) << c->name();
            }
            std::string text;
            if (auto* label = qobject_cast<QLabel*>(native)) text = label->text().toStdString();
            if (auto* button = qobject_cast<QAbstractButton*>(native)) text = button->text().toStdString();
            if (auto* frame = dynamic_cast<QtFrameWidget*>(native)) text = frame->caption().toStdString();
            EXPECT_EQ(text, c->caption()) << c->name();
        }
    }
    // The states no caption shows. (That a label lies beneath its box, and the scrolling line shows its
    // text from the start, the texts on screen show end to end.)
    EXPECT_TRUE(static_cast<QPushButton*>(widgetOf(d.options->cmdOK))->isDefault());
    EXPECT_TRUE(static_cast<QRadioButton*>(widgetOf(d.options->optRightUpper))->isChecked());
    EXPECT_TRUE(static_cast<QLineEdit*>(widgetOf(d.about->txtAllrights))->isReadOnly());
}

// What the walk of the dialogs by the keys and the mouse end to end leaves out: what the program sets
// does not come back as the user's, a chosen option clicked again stays chosen, the preview's own key,
// and Enter in a text box presses OK.
TEST(QtControls, TheUsersKeysAndHandReachTheModelAndTheProgramsDoNotComeBack) {
    Dialogs d;
    frmOptions& o = d.openOptions();
    QWidget& window = static_cast<QtFormPeer&>(o.window.peer()).widget();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    int edits = 0;
    o.txtWavFile.onChange = [&] { ++edits; };
    o.txtWavFile.setText("set by the program");
    auto* edit = static_cast<QLineEdit*>(widgetOf(o.txtWavFile));
    EXPECT_EQ((std::tuple{edit->text(), edits}), (std::tuple{"set by the program", 0}));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "ding.wav");
    EXPECT_EQ((std::tuple{o.txtWavFile.text(), edits, o.window.keyboard().activeControl()}),
              (std::tuple{"ding.wav", 8, &o.txtWavFile}));  // an edit a key

    QTest::mouseClick(widgetOf(o.optLeftLower), Qt::LeftButton);
    QTest::mouseClick(widgetOf(o.optLeftLower), Qt::LeftButton);  // a chosen option stays chosen
    EXPECT_TRUE(o.optLeftLower.value() && !o.optRightUpper.value());
    EXPECT_TRUE(!static_cast<QRadioButton*>(widgetOf(o.optRightUpper))->isChecked() &&
                static_cast<QRadioButton*>(widgetOf(o.optLeftLower))->isChecked());

    o.mnWidth = 10;
    widgetOf(o.picPreview)->setFocus();
    QTest::keyClick(widgetOf(o.picPreview), '+');  // the preview's own key
    EXPECT_EQ((std::tuple{o.mnWidth, widgetOf(o.picPreview)->geometry().width()}), (std::tuple{12, 12}));

    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ((std::tuple{o.window.loaded(), d.program.kesta().psWavFilePath}),
              (std::tuple{false, "ding.wav"}));
    d.options = nullptr;
}

// Whatever modal dialog is up when the event loop next turns, handed to a check that answers it.
template <class D>
void whenUp(std::function<void(D&)> answer) {
    QTimer::singleShot(0, [answer] {
        if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) answer(*d);
    });
}

TEST(QtChoosers, AskWhatTheProgramAsksAndAnswerWhatTheUserChose) {
    EXPECT_EQ(qtNameFilters("Sound files (*.wav)|*.wav"), QStringList{"Sound files (*.wav)"});
    EXPECT_EQ(qtNameFilters("Sounds|*.wav;*.mid|All|*.*"),
              (QStringList{"Sounds (*.wav *.mid)", "All (*.*)"}));

    Dialogs d;
    frmOptions& o = d.openOptions();
    Choosers& choosers = runtime().choosers();
    std::tuple<QString, QString, QString, QStringList> asked;
    whenUp<QFileDialog>([&](QFileDialog& dialog) {
        asked = {dialog.windowTitle(), dialog.directory().absolutePath(), dialog.selectedFiles().value(0),
                 dialog.nameFilters()};
        dialog.reject();
    });
    EXPECT_EQ(choosers.chooseFile(o.window, {"Sound files (*.wav)|*.wav", 1, "/tmp/", "ding.wav",
                                             " Select alarm sound file", true}),
              std::nullopt);  // dismissed
    EXPECT_EQ(asked, (std::tuple{" Select alarm sound file", "/tmp", "/tmp/ding.wav",
                                 QStringList{"Sound files (*.wav)"}}));

    QColor started;
    whenUp<QColorDialog>([&](QColorDialog& dialog) {
        started = dialog.currentColor();
        dialog.setCurrentColor(QColor(1, 2, 3));
        dialog.accept();
    });
    EXPECT_EQ(choosers.chooseColor(o.window, 0x00332211), std::optional<Color>(0x00030201));
    EXPECT_EQ(started, QColor(0x11, 0x22, 0x33));

    std::tuple<QString, QString, QMessageBox::Icon> shown;
    whenUp<QMessageBox>([&](QMessageBox& box) {
        shown = {box.windowTitle(), box.text(), box.icon()};
        box.accept();
    });
    choosers.messageBox(o.window, "Enter a sound file name or disable alarm.", MessageBoxKind::Exclamation,
                        " Corvane");
    EXPECT_EQ(shown,
              (std::tuple{" Corvane", "Enter a sound file name or disable alarm.", QMessageBox::Warning}));
}

// ---- The program's frame on a desktop of two monitors -------------------------------------------

// What the program reads of the monitors and the cursor, and where its windows stand, is translated
// by the primary monitor's top left corner both ways. (The dialogs' places: with their controls.)
TEST(QtScreen, TheProgramsOriginIsThePrimaryMonitorsCorner) {
    Screen& screen = runtime().screen();
    EXPECT_EQ((std::array{screen.widthPixels(), screen.heightPixels()}), (std::array{1024, 768}));
    EXPECT_EQ(screen.monitors(), (std::vector<PixelRect>{{0, 0, 1024, 768}, {-1280, 0, 1280, 800}}));
    QCursor::setPos(kPrimaryCorner + QPoint(10, 20));
    PointPx cursor;
    screen.getCursorPos(cursor);
    EXPECT_EQ((std::array{cursor.x, cursor.y}), (std::array{10, 20}));

    // The meter of a program that has not started: shown in the upper right corner, 10 x 51 pixels.
    Dialogs d;
    Form& meter = d.program.monitor().window;
    meter.show();
    QWidget& widget = static_cast<QtFormPeer&>(meter.peer()).widget();
    QWindow* native = widget.windowHandle();
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(widget.geometry(), QRect(kPrimaryCorner + QPoint(1014, 0), QSize(10, 51)));
    // Dragged 100 pixels left and down: the model follows in its own frame and the window follows the
    // model. Each event counts where it happened, though the cursor has gone on elsewhere by the time
    // it is handled, as on a busy desktop.
    QCursor::setPos(kPrimaryCorner + QPoint(500, 600));
    QTest::mousePress(native, Qt::LeftButton, {}, {4, 20});
    QTest::mouseMove(native, {-96, 120});
    QTest::mouseRelease(native, Qt::LeftButton, {}, {4, 20});  // the window has moved with it
    EXPECT_EQ((std::array{meter.pixelLeft(), meter.pixelTop()}), (std::array{914, 100}));
    EXPECT_EQ(widget.geometry().topLeft(), kPrimaryCorner + QPoint(914, 100));
    meter.hide();
}

}  // namespace
}  // namespace corvane
