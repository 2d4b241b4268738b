// A stock Qt Widgets application typing through the "diroru" platform input
// context on the offscreen platform: the input context is chosen by
// QT_IM_MODULE before the application exists, so this program has its own
// main, and one tiny pack serves the whole process (the component reads its
// data directory once, on the first focus of a text field).

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
#include <QTextStream>
#include <QVBoxLayout>

#include <memory>

namespace {

TinyPack* pack = nullptr;

// The panel is the one top-level widget the input method made.
QWidget* findPanel()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("IM_Stroke_Widget"))
            return widget;
    }
    return nullptr;
}

QRect globalRect(const QWidget* widget)
{
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// An ordinary form: nothing in it knows about the input method.
class Form : public QWidget
{
public:
    Form()
    {
        auto* layout = new QVBoxLayout(this);
        for (QWidget* widget : {static_cast<QWidget*>(first), static_cast<QWidget*>(second),
                                static_cast<QWidget*>(secret), static_cast<QWidget*>(button)})
            layout->addWidget(widget);
        secret->setInputMethodHints(Qt::ImhSensitiveData);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setFocus();
        setGeometry(40, 40, 300, 160);
        show();
        settleEvents();
    }

    QLineEdit* first = new QLineEdit(this);
    QLineEdit* second = new QLineEdit(this);
    QLineEdit* secret = new QLineEdit(this);
    QPushButton* button = new QPushButton(QStringLiteral("OK"), this);
};

QWidget* focus(QWidget* widget)
{
    widget->setFocus(Qt::OtherFocusReason);
    settleEvents();
    return findPanel();
}

bool panelShown()
{
    return QGuiApplication::inputMethod()->isVisible();
}

} // namespace

// One session on an ordinary form: the panel follows the focus, types into
// the focused field, resets on outside cursor moves and learns only from
// fields whose hints allow it.
TEST(InputContext, TypesIntoTheFocusedFieldAndLearnsOnlyWhereAllowed)
{
    Form form;
    EXPECT_EQ(findPanel(), nullptr) << "nothing is loaded before a text field has the focus";
    QWidget* const panel = focus(form.first);
    ASSERT_NE(panel, nullptr);
    const auto tap = [panel](const std::vector<int>& keys) {
        tapKeys(panel, keys);
        settleEvents();
    };
    const auto lineArea = [panel] { return panelState(panel).value(QStringLiteral("lineArea")).toBool(); };
    const auto cell = [panel](int i) { return panelState(panel).value(QStringLiteral("cells")).toStringList().value(i); };
    EXPECT_TRUE(panel->isVisible() && panelShown());
    EXPECT_EQ(QApplication::focusWidget(), form.first);
    const QRect screen = panel->screen()->availableGeometry();
    EXPECT_EQ(panel->frameGeometry().bottom(), screen.bottom()) << "at the bottom of the screen";
    EXPECT_FALSE(panel->frameGeometry().intersects(globalRect(form.first)));
    EXPECT_EQ(QGuiApplication::inputMethod()->keyboardRectangle(), QRectF(panel->frameGeometry()));

    const QByteArray shipped = pack->wordDat();
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5});
    EXPECT_EQ(form.first->text(), QStringLiteral("中"));
    EXPECT_EQ(cell(0), QStringLiteral("国")) << "the commit moved the cursor, yet associations stay";
    tap({0, KeyPie});
    EXPECT_EQ(form.first->text(), QStringLiteral("中国"));
    EXPECT_TRUE(lineArea());
    form.first->setCursorPosition(1); // the user moves the cursor
    EXPECT_FALSE(lineArea()) << "a cursor move resets the strokes";
    tap({KeyBackspace});
    EXPECT_EQ(form.first->text(), QStringLiteral("国"));
    EXPECT_EQ(form.first->cursorPosition(), 0);
    EXPECT_EQ(QApplication::focusWidget(), form.first);

    tap({KeyHeng});
    EXPECT_EQ(focus(form.second), panel);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(lineArea()) << "strokes do not follow the focus to another field";
    tap({KeyHeng, 5});
    EXPECT_EQ(form.second->text(), QStringLiteral("一"));
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0});
    focus(form.button); // hiding writes what was learned: 国 after 中
    EXPECT_FALSE(panel->isVisible() || panelShown());
    EXPECT_TRUE(QGuiApplication::inputMethod()->keyboardRectangle().isEmpty());
    EXPECT_EQ(pack->record(0).first, u'国');
    EXPECT_GT(pack->record(0).second, u16At(shipped, 2));

    // Sensitive and no-prediction fields, and hints changed while the field
    // has the focus, learn nothing.
    form.second->setInputMethodHints(Qt::ImhNoPredictiveText);
    const QByteArray learned = pack->wordDat();
    for (QLineEdit* field : {form.secret, form.second, form.first}) {
        focus(field);
        if (field == form.first)
            field->setInputMethodHints(Qt::ImhSensitiveData);
        tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0});
        EXPECT_TRUE(field->text().contains(QStringLiteral("中国")));
        focus(form.button);
        EXPECT_EQ(pack->wordDat(), learned);
    }

    // The application may hide and show it; a field at the bottom of the
    // screen has the panel above it.
    focus(form.second);
    QGuiApplication::inputMethod()->hide();
    EXPECT_FALSE(panelShown());
    QGuiApplication::inputMethod()->show();
    EXPECT_TRUE(panelShown());
    form.move(form.x(), screen.bottom() - form.frameGeometry().height() + 1);
    settleEvents();
    EXPECT_LT(panel->frameGeometry().bottom(), globalRect(form.second).top());
    focus(form.secret);
    EXPECT_LT(panel->frameGeometry().bottom(), globalRect(form.secret).top());
}

TEST(InputContextLibrary, MissingLibraryLeavesTheApplicationTyping)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DIRORU_PLUGIN_LIBRARY"), QStringLiteral("/nonexistent/libDiroruDIV.so.1"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child")});
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
    EXPECT_TRUE(child.readAllStandardError().contains("cannot load the stroke input method"));
}

namespace {

// The child of the test above: focuses a field and types a key on it.
int childMain()
{
    Form form;
    form.first->setFocus();
    settleEvents();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(form.first, &key);
    QTextStream(stdout) << "text " << form.first->text() << " panel " << (findPanel() != nullptr) << Qt::endl;
    return form.first->text() == QLatin1String("a") && !findPanel() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_IM_MODULE", "diroru");
    qputenv("QT_PLUGIN_PATH", DIRORU_QTPLUGIN_PATH);
    TinyPack tinyPack;
    pack = &tinyPack;
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return childMain();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
