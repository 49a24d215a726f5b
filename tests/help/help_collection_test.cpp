// The two compiled help files open in Qt's help engine at the topics the IDE asks for, every
// page they link to is in them, and every anchor a link names exists.
#include "isa/mnemonics.h"
#include "scratch_directory.h"

#include <QCoreApplication>
#include <QHelpEngineCore>
#include <QHelpLink>
#include <QRegularExpression>
#include <QUrl>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace {

// A compiled help file and where the IDE looks its topic up: qthelp://NAMESPACE/FOLDER/TOPIC.
struct HelpFile {
    const char* qch;
    QString name_space;
    QString folder;
    QString topic;
};

const HelpFile opcode_help{KZ71_OPCODE_QCH, "kz71.opcode", "opcode", "frame.htm"};
const HelpFile general_help{KZ71_GENERAL_QCH, "kz71.general", "general", "index.htm"};

// The help engine loads its database driver as a plugin, which wants an application object.
void ensure_application() {
    static int argc = 1;
    static char name[] = "help_collection_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

class HelpCollection : public testing::Test {
protected:
    void SetUp() override {
        ensure_application();
        engine_ = std::make_unique<QHelpEngineCore>(
            QString::fromStdString((scratch_.path() / "kz71.qhc").string()));
        engine_->setReadOnly(false);
        ASSERT_TRUE(engine_->setupData()) << engine_->error().toStdString();
    }

    void registerFile(const HelpFile& file) {
        ASSERT_TRUE(std::filesystem::is_regular_file(file.qch)) << file.qch;
        ASSERT_TRUE(engine_->registerDocumentation(file.qch)) << engine_->error().toStdString();
        ASSERT_TRUE(engine_->registeredDocumentations().contains(file.name_space));
    }

    QUrl url(const HelpFile& file, const QString& page) const {
        return QUrl("qthelp://" + file.name_space + "/" + file.folder + "/" + page);
    }

    QString page(const HelpFile& file, const QString& name) const {
        return QString::fromUtf8(engine_->fileData(url(file, name)));
    }

    // Follows every relative link from the topic on; returns the pages reached and reports
    // links to pages or anchors that are not there.
    std::set<QString> crawl(const HelpFile& file) const {
        static const QRegularExpression link(R"re(href="([^":#]+)?(#[^"]*)?")re");
        std::set<QString> reached{file.topic};
        std::vector<QString> pending{file.topic};
        while (!pending.empty()) {
            const QString name = pending.back();
            pending.pop_back();
            const QString html = page(file, name);
            EXPECT_FALSE(html.isEmpty()) << name.toStdString() << " is not in " << file.qch;
            for (const auto& match : link.globalMatch(html)) {
                const QString target = match.captured(1).isEmpty() ? name : match.captured(1);
                const QString anchor = match.captured(2).mid(1);
                if (!anchor.isEmpty()) {
                    EXPECT_TRUE(page(file, target).contains("id=\"" + anchor + "\""))
                        << name.toStdString() << " links to the missing anchor "
                        << target.toStdString() << "#" << anchor.toStdString();
                }
                if (target.endsWith(".htm") && reached.insert(target).second)
                    pending.push_back(target);
            }
        }
        return reached;
    }

    ScratchDirectory scratch_;
    std::unique_ptr<QHelpEngineCore> engine_;
};

} // namespace

TEST_F(HelpCollection, OpcodeHelpOpensAtItsEntryPageAndFindsEveryMnemonic) {
    registerFile(opcode_help);
    EXPECT_TRUE(page(opcode_help, "frame.htm").contains("KZ71 opcode help"));
    const std::set<QString> reached = crawl(opcode_help);
    for (const isa::Mnemonic& m : isa::mnemonics()) {
        const QString name = QString::fromUtf8(m.source.data(), static_cast<int>(m.source.size()));
        EXPECT_TRUE(reached.contains(name + ".htm")) << m.source;
        const QList<QHelpLink> found = engine_->documentsForKeyword(name);
        ASSERT_EQ(found.size(), 1) << m.source;
        EXPECT_EQ(found.first().url, url(opcode_help, name + ".htm"));
    }
    // The name messages use finds the page too.
    const QList<QHelpLink> clock = engine_->documentsForKeyword("clk10KHz");
    ASSERT_EQ(clock.size(), 1);
    EXPECT_EQ(clock.first().url, url(opcode_help, "clk10khz.htm"));
}

TEST_F(HelpCollection, UserGuideOpensAtItsIndexAndReachesEveryPage) {
    registerFile(general_help);
    const std::set<QString> reached = crawl(general_help);
    for (const auto& entry : std::filesystem::directory_iterator(KZ71_GENERAL_PAGES)) {
        if (entry.path().extension() != ".htm") continue;
        const QString name = QString::fromStdString(entry.path().filename().string());
        EXPECT_TRUE(reached.contains(name))
            << name.toStdString() << " is not linked from index.htm";
    }
    EXPECT_GE(reached.size(), 8u);
}

TEST_F(HelpCollection, BothFilesLiveTogetherInOneCollection) {
    registerFile(opcode_help);
    registerFile(general_help);
    EXPECT_FALSE(page(opcode_help, "add.htm").isEmpty());
    EXPECT_FALSE(page(general_help, "index.htm").isEmpty());
    EXPECT_TRUE(page(general_help, "add.htm").isEmpty());
}
