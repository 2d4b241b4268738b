#include "CGifWriter.h"
#include "CKeyboardPainter.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>

#include <gtest/gtest.h>

TEST(KeyboardImages, BothLayoutsPaintKeysOnTheGridAndSurviveGifWhichKeepsFewColoursExactly)
{
    QFile file(DIRORU_DATA_DIR "/keyboards.json");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray all = QJsonDocument::fromJson(file.readAll()).object().value("keyboards").toArray();
    ASSERT_EQ(all.size(), 2);
    const auto decodeGif = [](const QByteArray& gif) {
        QBuffer buffer;
        buffer.setData(gif);
        QImageReader reader(&buffer, "gif");
        return reader.read().convertToFormat(QImage::Format_RGB32);
    };
    QString error;
    QByteArray gif;
    for (const QJsonValue& layout : all) {
        const QString name = layout.toObject().value("file").toString();
        const QImage image = CKeyboardPainter::Paint(layout.toObject(), &error);
        ASSERT_FALSE(image.isNull()) << error.toStdString();
        EXPECT_EQ(image.size(), QSize(240, 144));

        // The cells are one flat colour; every function key carries a face
        // that differs from its own button colour somewhere inside it.
        const QRgb cell = image.pixel(CKeyboardPainter::KeyRect(5).center());
        for (int key = 0; key < 10; ++key)
            EXPECT_EQ(image.pixel(CKeyboardPainter::KeyRect(key).topLeft() + QPoint(2, 2)), cell) << key;
        for (int key = 10; key < 20; ++key) {
            const QRect r = CKeyboardPainter::KeyRect(key).adjusted(6, 6, -6, -6);
            int ink = 0;
            for (int i = 0; i < r.width() * r.height(); ++i)
                ink += qGray(image.pixel(r.left() + i % r.width(), r.top() + i / r.width())) < 128;
            EXPECT_GT(ink, 10) << name.toStdString() << " key " << key;
        }

        ASSERT_TRUE(CGifWriter::Encode(image, &gif, &error)) << error.toStdString();
        const QImage back = decodeGif(gif);
        ASSERT_EQ(back.size(), image.size());
        // Colours may be reduced to 256, but never visibly.
        int worst = 0;
        for (int i = 0; i < 240 * 144; ++i) {
            const QRgb a = image.pixel(i % 240, i / 240), b = back.pixel(i % 240, i / 240);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
        }
        EXPECT_LE(worst, 24) << name.toStdString();
    }

    // A few colours are kept exactly; no image or an unknown icon is refused.
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(3, 2, qRgb(10, 20, 30));
    ASSERT_TRUE(CGifWriter::Encode(image, &gif, &error));
    EXPECT_EQ(decodeGif(gif), image);

    EXPECT_FALSE(CGifWriter::Encode(QImage(), &gif, &error));
    QJsonObject layout{{"keys", QJsonObject{{"10", QJsonObject{{"icon", "teapot"}}}}}};
    EXPECT_TRUE(CKeyboardPainter::Paint(layout, &error).isNull());
    EXPECT_TRUE(error.contains("teapot"));
}
