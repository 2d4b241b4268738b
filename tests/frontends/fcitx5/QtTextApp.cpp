// A Qt 6 window for the fcitx5 end-to-end test: one text field whose text
// is written to the file named by the first argument at every change.
#include <QApplication>
#include <QFile>
#include <QLineEdit>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLineEdit edit;
    edit.setWindowTitle(QStringLiteral("DiroruDIV Qt"));
    QObject::connect(&edit, &QLineEdit::textChanged, [out = app.arguments().value(1)](const QString& text) {
        QFile file(out);
        if (file.open(QIODevice::WriteOnly))
            file.write(text.toUtf8() + '\n');
    });
    edit.resize(300, 40);
    edit.show();
    return app.exec();
}
