// The Chinese main window on a real X server (Xvfb): a screenshot taken from the server shows
// real Chinese glyphs, not the empty boxes a missing font leaves. The screenshot is kept in
// the build folder ("kz71-assembler-chinese.png").
#include "ide_fixture.h"

#include <QElapsedTimer>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QRawFont>
#include <QScreen>
#include <QTextLayout>
#include <QThread>

namespace ide::test {
namespace {

bool isChinese(QChar c) {
    return c.unicode() >= 0x3400 && c.unicode() <= 0x9FFF;
}

// The Chinese characters a text begins with.
QString chinesePrefix(const QString& text) {
    qsizetype n = 0;
    while (n < text.size() && isChinese(text[n]))
        ++n;
    return text.left(n);
}

// True where a pixel is ink: clearly darker than the background.
QList<bool> inkMask(const QImage& image) {
    QList<bool> mask;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            mask << (qGray(image.pixel(x, y)) < 128);
    return mask;
}

// Empty when every character of `text` has a glyph in the font that draws it.
QString glyphProblem(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns())
        for (quint32 glyph : run.glyphIndexes())
            if (glyph == 0) return QString("no glyph in %1").arg(run.rawFont().familyName());
    return {};
}

class ChineseRendering : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run through xvfb-run";
    }
    static void wait(int milliseconds) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < milliseconds) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
        }
    }
};

TEST_F(ChineseRendering, TheScreenshotShowsChineseGlyphsNotEmptyBoxes) {
    ASSERT_EQ(start(1024, 768, 936), StartResult::mainWindow);
    QMainWindow* w = window();
    wait(800); // mapped and painted
    const QImage shot = w->screen()->grabWindow(w->winId()).toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(QString(KZ71_BUILD_DIR) + "/kz71-assembler-chinese.png"));

    int checked = 0;
    for (const char* name : {"asmMessagesLabel", "opcodeHelpText", "betaText"}) {
        auto* label = find<QLabel>(name);
        ASSERT_NE(label, nullptr) << name;
        const QString chinese = chinesePrefix(label->text());
        ASSERT_GE(chinese.size(), 3) << name << " is not Chinese: " << qPrintable(label->text());
        EXPECT_EQ(glyphProblem(label->text(), label->font()), "") << name;

        // The label's picture on the screen, cut into one cell per Chinese character.
        const QRect area(label->mapTo(w, QPoint(0, 0)), label->size());
        const QImage picture = shot.copy(area);
        int left = -1;
        for (int x = 0; x < picture.width() && left < 0; ++x)
            for (int y = 0; y < picture.height() && left < 0; ++y)
                if (qGray(picture.pixel(x, y)) < 128) left = x;
        ASSERT_GE(left, 0) << name << " shows nothing";
        const int advance = QFontMetrics(label->font()).horizontalAdvance(chinese) /
                            static_cast<int>(chinese.size());
        QList<QList<bool>> cells;
        for (qsizetype i = 0; i < chinese.size(); ++i) {
            const QList<bool> cell = inkMask(
                picture.copy(left + static_cast<int>(i) * advance, 0, advance, picture.height()));
            EXPECT_GE(cell.count(true), 8) << name << ": character " << i << " has no ink";
            cells << cell;
        }
        // Empty boxes are alike; the characters of a word are not.
        for (qsizetype i = 0; i < cells.size(); ++i)
            for (qsizetype j = i + 1; j < cells.size(); ++j) {
                if (chinese[i] == chinese[j]) continue;
                int differing = 0;
                for (qsizetype p = 0; p < cells[i].size(); ++p)
                    differing += cells[i][p] != cells[j][p];
                const int ink = qMax(cells[i].count(true), cells[j].count(true));
                EXPECT_GT(differing * 4, ink)
                    << name << ": characters " << i << " and " << j << " look alike";
                ++checked;
            }
    }
    EXPECT_GE(checked, 9);
}

} // namespace
} // namespace ide::test
