// A stock Qt Widgets application typing through the "diroru" platform input
// context on the offscreen platform: the input context is chosen by
// QT_IM_MODULE before the application exists, so this program has its own
// main, and one tiny pack serves the whole process (the component reads its
// data directory once, on the first focus of a text field).

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
#include <QtEndian>

#include <memory>

namespace {

TinyPack* pack = nullptr;

enum PanelKey { KeyHeng = 11, KeyShu = 12, KeyPie = 13, KeyBackspace = 14, KeyZhe = 17 };

void settle()
{
    // Focus changes and window activation arrive as queued platform events.
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

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
        settle();
    }

    QLineEdit* first = new QLineEdit(this);
    QLineEdit* second = new QLineEdit(this);
    QLineEdit* secret = new QLineEdit(this);
    QPushButton* button = new QPushButton(QStringLiteral("OK"), this);
};

class InputContext : public ::testing::Test
{
protected:
    void focus(QWidget* widget)
    {
        widget->setFocus(Qt::OtherFocusReason);
        settle();
        panel = findPanel();
    }

    void tap(std::initializer_list<int> keys)
    {
        ASSERT_NE(panel, nullptr);
        for (int key : keys) {
            const QPointF at(3 + 47 * (key % 5) + 23, 3 + 35 * (key / 5) + 17);
            QMouseEvent press(QEvent::MouseButtonPress, at, panel->mapToGlobal(at), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(panel, &press);
            QMouseEvent release(QEvent::MouseButtonRelease, at, panel->mapToGlobal(at), Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(panel, &release);
        }
        settle();
    }

    QVariantMap state()
    {
        QVariantMap result;
        if (panel)
            QMetaObject::invokeMethod(panel, "panelState", Qt::DirectConnection, Q_RETURN_ARG(QVariantMap, result));
        return result;
    }
    bool lineArea() { return state().value(QStringLiteral("lineArea")).toBool(); }
    QString cell(int i) { return state().value(QStringLiteral("cells")).toStringList().value(i); }
    static bool panelShown() { return QGuiApplication::inputMethod()->isVisible(); }

    // 中 by its strokes, then 国 from its associations.
    void typeZhongGuo() { tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0}); }

    Form form;
    QWidget* panel = nullptr;
};

} // namespace

TEST_F(InputContext, TypesIntoTheFocusedFieldWithoutTakingItsFocus)
{
    EXPECT_EQ(findPanel(), nullptr) << "nothing is loaded before a text field has the focus";
    focus(form.first);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panelShown());
    EXPECT_EQ(QApplication::focusWidget(), form.first);

    const QRect screen = panel->screen()->availableGeometry();
    EXPECT_EQ(panel->frameGeometry().bottom(), screen.bottom()) << "at the bottom of the screen";
    EXPECT_FALSE(panel->frameGeometry().intersects(globalRect(form.first)));
    EXPECT_EQ(QGuiApplication::inputMethod()->keyboardRectangle(), QRectF(panel->frameGeometry()));

    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5});
    EXPECT_EQ(form.first->text(), QStringLiteral("中"));
    EXPECT_EQ(cell(0), QStringLiteral("国")) << "the commit moved the cursor, yet associations stay";
    tap({0, KeyPie});
    EXPECT_EQ(form.first->text(), QStringLiteral("中国"));
    EXPECT_TRUE(lineArea());
    form.first->setCursorPosition(1);               // the user moves the cursor
    EXPECT_FALSE(lineArea()) << "a cursor move resets the strokes";
    tap({KeyBackspace});
    EXPECT_EQ(form.first->text(), QStringLiteral("国"));
    EXPECT_EQ(form.first->cursorPosition(), 0);
    EXPECT_TRUE(form.second->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), form.first);
}

TEST_F(InputContext, FocusMovesReuseHideAndShowThePanel)
{
    focus(form.first);
    QWidget* const shown = panel;
    ASSERT_NE(shown, nullptr);
    tap({KeyHeng});
    ASSERT_TRUE(lineArea());

    focus(form.second);
    EXPECT_EQ(panel, shown);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(lineArea()) << "strokes do not follow the focus to another field";
    tap({KeyHeng, 5});
    EXPECT_EQ(form.second->text(), QStringLiteral("一"));
    EXPECT_TRUE(form.first->text().isEmpty());

    focus(form.button);
    EXPECT_FALSE(shown->isVisible());
    EXPECT_FALSE(panelShown());
    EXPECT_TRUE(QGuiApplication::inputMethod()->keyboardRectangle().isEmpty());

    focus(form.first);
    EXPECT_EQ(panel, shown);
    EXPECT_TRUE(panelShown());
    QGuiApplication::inputMethod()->hide();         // the application may hide it
    EXPECT_FALSE(panelShown());
    QGuiApplication::inputMethod()->show();
    EXPECT_TRUE(panelShown());
    settle();

    // A field moved to the bottom of the screen: the panel goes above it.
    const QRect screen = panel->screen()->availableGeometry();
    form.move(form.x(), screen.bottom() - form.frameGeometry().height() + 1);
    settle();
    EXPECT_LT(panel->frameGeometry().bottom(), globalRect(form.first).top());
    focus(form.secret);
    EXPECT_LT(panel->frameGeometry().bottom(), globalRect(form.secret).top());
}

TEST_F(InputContext, NothingTypedInSensitiveOrNoPredictionFieldsIsLearned)
{
    form.second->setInputMethodHints(Qt::ImhNoPredictiveText);
    const QByteArray before = pack->wordDat();
    for (QLineEdit* field : {form.secret, form.second}) {
        focus(field);
        typeZhongGuo();
        EXPECT_EQ(field->text(), QStringLiteral("中国"));
        focus(form.button);                         // hiding writes what was learned
        EXPECT_EQ(pack->wordDat(), before);
    }

    focus(form.first);
    typeZhongGuo();
    focus(form.button);
    EXPECT_EQ(pack->record(0).first, u'国');
    EXPECT_GT(pack->record(0).second, qFromLittleEndian<quint16>(before.constData() + 2));

    // Hints that change while the field has the focus count at once.
    const QByteArray learned = pack->wordDat();
    focus(form.first);
    form.first->setInputMethodHints(Qt::ImhSensitiveData);
    typeZhongGuo();
    focus(form.button);
    EXPECT_EQ(pack->wordDat(), learned);
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
    settle();
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
