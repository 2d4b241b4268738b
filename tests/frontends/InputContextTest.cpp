// A stock Qt Widgets application typing through the "diroru" platform input
// context, chosen in main before the application exists; one tiny pack serves
// it, as the component reads its data directory once, on the first focus.

#include "PanelTaps.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

TinyPack* pack = nullptr;

QWidget* focus(QWidget* widget)
{
    widget->setFocus(Qt::OtherFocusReason);
    settleEvents();
    return qobject_cast<QWidget*>(findPanel());
}

// An ordinary form: nothing in it knows about the input method.
struct Form : QWidget {
    Form()
    {
        auto* layout = new QVBoxLayout(this);
        for (QWidget* widget : std::initializer_list<QWidget*>{first, second, secret, button})
            layout->addWidget(widget);
        secret->setInputMethodHints(Qt::ImhSensitiveData);
        button->setFocus();
        setGeometry(40, 200, 300, 160); // the panel would fit above and below
        show();
        settleEvents();
    }

    QLineEdit* first = new QLineEdit(this);
    QLineEdit* second = new QLineEdit(this);
    QLineEdit* secret = new QLineEdit(this);
    QPushButton* button = new QPushButton(QStringLiteral("OK"), this);
};

} // namespace

// One session: the panel follows the focus and resets on outside cursor moves.
TEST(InputContext, TypesIntoTheFocusedFieldAndLearnsOnlyWhereAllowed)
{
    Form form;
    QInputMethod* const im = QGuiApplication::inputMethod();
    EXPECT_EQ(findPanel(), nullptr) << "nothing is loaded before a text field has the focus";
    QWidget* const panel = focus(form.first);
    ASSERT_NE(panel, nullptr);
    const auto state = [panel](const char* name) { return panelState(panel).value(QLatin1String(name)); };
    EXPECT_TRUE(panel->isVisible() && im->isVisible());
    const QRect screen = panel->screen()->availableGeometry();
    EXPECT_EQ(panel->frameGeometry().bottom(), screen.bottom()) << "at the bottom of the screen";
    EXPECT_EQ(im->keyboardRectangle(), QRectF(panel->frameGeometry()));

    tapKeys(panel, {KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0, KeyPie}); // 中, then 国: our cursor move kept them
    EXPECT_EQ(form.first->text(), QStringLiteral("中国"));
    EXPECT_TRUE(state("lineArea").toBool());
    form.first->setCursorPosition(1); // the user moves the cursor
    EXPECT_FALSE(state("lineArea").toBool()) << "a cursor move resets the strokes";
    tapKeys(panel, {KeyBackspace});
    EXPECT_EQ(form.first->text(), QStringLiteral("国"));
    EXPECT_EQ(QApplication::focusWidget(), form.first);

    tapKeys(panel, {KeyHeng});
    EXPECT_TRUE(focus(form.second) == panel && panel->isVisible());
    EXPECT_FALSE(state("lineArea").toBool()) << "strokes do not follow the focus to another field";
    tapKeys(panel, {KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0});
    focus(form.button); // hiding writes what was learned: 国 after 中
    EXPECT_FALSE(panel->isVisible() || im->isVisible());
    EXPECT_TRUE(im->keyboardRectangle().isEmpty());
    EXPECT_GT(pack->record(0).second, 10);

    // Sensitive and no-prediction fields, and hints changed while the field
    // has the focus, learn nothing.
    form.second->setInputMethodHints(Qt::ImhNoPredictiveText);
    const QByteArray learned = pack->wordDat();
    for (QLineEdit* field : {form.secret, form.second, form.first}) {
        focus(field);
        if (field == form.first)
            field->setInputMethodHints(Qt::ImhSensitiveData);
        tapKeys(panel, {KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0});
        EXPECT_TRUE(field->text().contains(QStringLiteral("中国")));
        focus(form.button);
        EXPECT_EQ(pack->wordDat(), learned);
    }

    // The application may hide and show it; a field at the bottom of the
    // screen has the panel above it.
    focus(form.second);
    im->hide();
    EXPECT_FALSE(im->isVisible());
    im->show();
    EXPECT_TRUE(im->isVisible());
    form.move(form.x(), screen.bottom() - form.frameGeometry().height() + 1);
    settleEvents();
    for (QLineEdit* field : {form.second, form.secret}) {
        focus(field);
        EXPECT_LT(panel->frameGeometry().bottom(), field->mapToGlobal(QPoint(0, 0)).y());
    }
}

// Run again as a child without the library: a field keeps typing.
TEST(InputContextLibrary, MissingLibraryLeavesTheApplicationTyping)
{
    QProcess child;
    qputenv("DIRORU_PLUGIN_LIBRARY", "/nonexistent/libDiroruDIV.so.1"); // this process loaded it already
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child")});
    qunsetenv("DIRORU_PLUGIN_LIBRARY");
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_TRUE(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0);
    EXPECT_TRUE(child.readAllStandardError().contains("cannot load the stroke input method"));
}

int main(int argc, char** argv)
{
    pack = &prepareInputContext(DIRORU_QTPLUGIN_PATH);
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0) {
        Form form;
        focus(form.first);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(form.first, &key);
        return form.first->text() == QLatin1String("a") && !findPanel() ? 0 : 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
