// Reading .hex and .epr lines, loading the download image without ever overrunning it, and the
// user EEPROM table.
#include "link_fixture.h"
#include "programmer/download_image.h"

#include <sys/stat.h>

namespace {

using namespace programmer;

TEST(ImageLine, TheLineRule) {
    EXPECT_EQ(readImageLine("// --- EOF ---").kind, ImageLineKind::end);
    EXPECT_EQ(readImageLine("// --- EOF ---\n").kind, ImageLineKind::skip);
    EXPECT_EQ(readImageLine("\n").kind, ImageLineKind::skip);
    EXPECT_EQ(readImageLine("\r\n").kind, ImageLineKind::skip);
    EXPECT_EQ(readImageLine("//\tDownloadable Hex-File for KZ71\r\n").kind, ImageLineKind::skip);

    const ImageLine hex =
        readImageLine("0A2C: 70 0f\t//--- 2604: move_3 (0,5);  move_2 (0,5);\r\n");
    ASSERT_EQ(hex.kind, ImageLineKind::data);
    EXPECT_EQ(hex.address, 0x0A2Cu);
    EXPECT_EQ(hex.valueCount, 2);
    EXPECT_EQ(hex.values[0], 0x70);
    EXPECT_EQ(hex.values[1], 0x0F);

    const ImageLine epr = readImageLine("7F: FF \r\n");
    ASSERT_EQ(epr.kind, ImageLineKind::data);
    EXPECT_EQ(epr.address, 0x7Fu);
    EXPECT_EQ(epr.valueCount, 1);
    EXPECT_EQ(epr.values[0], 0xFF);
    EXPECT_EQ(readImageLine("0010: 5A").valueCount, 1); // the last line, without a line end

    for (const char* bad :
         {"garbage\n", "0000:\n", "0000: 123 45\n", "0000: G0 00\n", "123456789: 00 00\n"})
        EXPECT_EQ(readImageLine(bad).kind, ImageLineKind::invalid) << bad;
}

using ImageLoad = LinkTest;

TEST_F(ImageLoad, BytesFillTheImageInLineOrderWhateverTheAddresses) {
    DownloadImage image;
    image.code.fill(0xEE);
    const std::string path = writeFile("p.hex", "// header\n\n0000: 01 02\n0000: 03 04\n"
                                                "0100: 05 06\n");
    const auto before = clock->now();
    ASSERT_EQ(loadHexImage(link, image, path), 0) << report.box;
    EXPECT_EQ(clock->now() - before, 100ms); // the pause after opening the file
    EXPECT_EQ(image.lastIndex, 5);
    EXPECT_EQ(Bytes(image.code.begin(), image.code.begin() + 7), (Bytes{1, 2, 3, 4, 5, 6, 0}));
    EXPECT_EQ(report.box, "");
}

TEST_F(ImageLoad, EndMarkerOnlyWithoutLineEnd) {
    DownloadImage image;
    ASSERT_EQ(loadHexImage(link, image, writeFile("a.hex", "0000: 01 02\n// --- EOF ---")), 0);
    EXPECT_EQ(image.lastIndex, 1);
    ASSERT_EQ(
        loadHexImage(link, image, writeFile("b.hex", "0000: 01 02\n// --- EOF ---\n0002: 03 04\n")),
        0);
    EXPECT_EQ(image.lastIndex, 3);
}

TEST_F(ImageLoad, MissingOrUnreadableFilesLeaveAClearedImage) {
    DownloadImage image;
    image.code.fill(0xEE);
    image.lastIndex = 99;
    EXPECT_EQ(loadHexImage(link, image, (dir.path() / "missing.hex").string()), 1);
    EXPECT_EQ(report.box, "Opening hexfile failed");
    EXPECT_EQ(image.lastIndex, 0);
    EXPECT_EQ(std::count(image.code.begin(), image.code.end(), 0), 8192);

    // Neither a device nor a FIFO nor a folder is read.
    const std::string fifo = (dir.path() / "fifo.hex").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {std::string("/dev/zero"), fifo, dir.path().string()}) {
        report.box.clear();
        EXPECT_EQ(loadHexImage(link, image, path), 1) << path;
        EXPECT_EQ(report.box, "Opening hexfile failed");
    }
}

TEST_F(ImageLoad, NeverMoreThanTheImageHolds) {
    DownloadImage image;
    const std::string full = writeFile("full.hex", hexFileText(Bytes(8192, 0x11)));
    ASSERT_EQ(loadHexImage(link, image, full), 0);
    EXPECT_EQ(image.lastIndex, 8191);

    const std::string over = writeFile("over.hex", hexFileText(Bytes(8194, 0x22)));
    EXPECT_EQ(loadHexImage(link, image, over), 1);
    EXPECT_EQ(report.box, "\nThe hexfile holds more than 8192 bytes\n");
    EXPECT_EQ(image.lastIndex, 0);

    // Lines of any length are read whole: a long comment is not taken for a data line.
    report.box.clear();
    const std::string longLine = "0000: 01 02\t//" + std::string(500, 'x') + "\n0002: 03 04\n";
    ASSERT_EQ(loadHexImage(link, image, writeFile("long.hex", longLine)), 0) << report.box;
    EXPECT_EQ(image.lastIndex, 3);
}

TEST_F(ImageLoad, ALineThatIsNotDataRefusesTheFile) {
    DownloadImage image;
    EXPECT_EQ(loadHexImage(link, image, writeFile("bad.hex", "// h\n0000: 01 02\nrubbish\n")), 1);
    EXPECT_EQ(report.box, "\nInvalid line 3 in hexfile\n");
}

TEST(UserEepromTable, CellsByColumnAndRow) {
    RecordingReport report;
    DownloadImage image;
    image.userEeprom[0] = 0xAB;
    image.userEeprom[9] = 0x05;
    image.userEeprom[127] = 0xFF;
    showUserEepromTable(report, image);
    EXPECT_EQ(report.cells.size(), 128u);
    EXPECT_EQ((report.cells[{2, 2}]), "0xab");
    EXPECT_EQ((report.cells[{3, 3}]), "0x05");
    EXPECT_EQ((report.cells[{9, 17}]), "0xff");
    EXPECT_EQ((report.cells[{4, 2}]), "0x00");
}

} // namespace
