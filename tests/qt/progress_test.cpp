// A running batch: the modal progress dialog, and Cancel or Esc ending the
// batch without "Done.", the file being converted keeping its earlier pcap.

#include "dialog_fixture.h"
#include "pcap_expect.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <utility>
#include <vector>

namespace {

QProgressDialog* ShownProgress()
{
    return qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
}

} // namespace

class Progress : public DialogTest {
protected:
    void SetUp() override
    {
        Put("a.DT", ValidCapture({60, 61}));
        Put("b.DT", ValidCapture({62}));
        Put("c.DT", ValidCapture({63}));
        OpenDialog();
        ChooseFolder(Dir());
        ClickButton(IDC_SELECT_ALL);
    }

    // Starts the batch; `onProgress` sees the progress dialog every time the
    // batch lets the event loop run while the dialog is up.
    void StartWatching(const std::function<void(QProgressDialog&)>& onProgress)
    {
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QProgressDialog* progress = ShownProgress()) {
                labels << progress->labelText();
                modal = modal && progress->isModal() && progress->parentWidget() == dlg.get();
                onProgress(*progress);
            } else if (qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                for (QProgressDialog* progress : dlg->findChildren<QProgressDialog*>())
                    progressUnderBox = progressUnderBox || progress->isVisible();
            }
        });
        poll.start(0);
        ClickButton(IDC_START_CONVERSION);
    }

    QStringList labels;
    bool modal = true;
    bool progressUnderBox = false;
};

TEST_F(Progress, QuickBatchShowsNoProgressDialog)
{
    StartWatching([](QProgressDialog&) {});
    EXPECT_TRUE(labels.isEmpty());
    EXPECT_EQ(watcher.Texts(), std::vector<QString>{"Done."});
}

TEST_F(Progress, ShowsFileAndCountModallyAndGoesAwayBeforeDone)
{
    dlg->m_progressTiming = {0, 0};
    StartWatching([](QProgressDialog&) {});
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_TRUE(labels.contains(QStringLiteral("Converting 1 of 3\na.DT")));
    EXPECT_TRUE(labels.contains(QStringLiteral("Converting 3 of 3\nc.DT")));
    EXPECT_TRUE(modal);
    EXPECT_EQ(watcher.Texts(), std::vector<QString>{"Done."});
    EXPECT_FALSE(progressUnderBox);
    EXPECT_TRUE(dlg->findChildren<QProgressDialog*>().isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// One bar for the batch: the files before count whole, the current one by
// its bytes done (reported as its entry walk starts, at the MONL body): the
// share of the bar filled, to a thousandth of the bar.
TEST_F(Progress, BarCountsTheFilesBeforeAndTheBytesOfTheCurrentOne)
{
    dlg->m_progressTiming = {0, 0};
    std::vector<std::pair<QString, double>> seen;
    StartWatching([&](QProgressDialog& progress) {
        const double range = progress.maximum() - progress.minimum();
        seen.emplace_back(progress.labelText(), range > 0 ? (progress.value() - progress.minimum()) / range : -1);
    });
    const char* const names[] = {"a.DT", "b.DT", "c.DT"};
    for (int number = 1; number <= 3; ++number) {
        const Bytes bytes = ReadFileBytes(Dir() + names[number - 1]);
        const auto monl = std::search(bytes.begin(), bytes.end(), std::begin("MONL"), std::end("MONL") - 1);
        ASSERT_NE(monl, bytes.end());
        const double walkStart = static_cast<double>(monl - bytes.begin()) + 8;
        const double expected = (number - 1 + walkStart / static_cast<double>(bytes.size())) / 3;
        const QString label = QStringLiteral("Converting %1 of 3\n%2").arg(number).arg(names[number - 1]);
        const bool shown = std::any_of(seen.begin(), seen.end(), [&](const std::pair<QString, double>& s) {
            return s.first == label && std::abs(s.second - expected) <= 0.001;
        });
        EXPECT_TRUE(shown) << label.toStdString() << " at " << expected;
    }
}

TEST_F(Progress, EscDuringTheSecondFileEndsTheBatchWithoutDone)
{
    const Bytes earlier = {'e', 'a', 'r', 'l', 'i', 'e', 'r'};
    Put("b.pcap", earlier);
    dlg->m_progressTiming = {0, 0};
    StartWatching([](QProgressDialog& progress) {
        if (progress.labelText().startsWith(QStringLiteral("Converting 2 of 3")))
            QTest::keyClick(&progress, Qt::Key_Escape);
    });

    EXPECT_TRUE(watcher.boxes.empty());
    EXPECT_EQ(ReadPcap(Dir() + "a.pcap").records.size(), 2u);
    EXPECT_EQ(ReadFileBytes(Dir() + "b.pcap"), earlier);
    EXPECT_FALSE(PathExists(Dir() + "c.pcap"));
    EXPECT_EQ(ListDir(Dir()), (std::vector<std::string>{"a.DT", "a.pcap", "b.DT", "b.pcap", "c.DT"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(Progress, CancelButtonDuringTheFirstFileConvertsNothing)
{
    dlg->m_progressTiming = {0, 0};
    StartWatching([](QProgressDialog& progress) {
        for (QPushButton* button : progress.findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("Cancel"))
                button->click();
        }
    });
    EXPECT_TRUE(watcher.boxes.empty());
    EXPECT_EQ(ListDir(Dir()), (std::vector<std::string>{"a.DT", "b.DT", "c.DT"}));

    // The next batch runs again, and to its end.
    dlg->m_progressTiming = {};
    ClickButton(IDC_START_CONVERSION);
    EXPECT_EQ(watcher.Texts(), std::vector<QString>{"Done."});
    EXPECT_TRUE(PathExists(Dir() + "c.pcap"));
}

TEST_F(Progress, AFailureHidesTheProgressForItsBox)
{
    Put("b.DT", BrokenCapture());
    dlg->m_progressTiming = {0, 0};
    StartWatching([](QProgressDialog&) {});
    EXPECT_EQ(watcher.Texts(), std::vector<QString>{QString::fromStdString(Dir() + "b.DT File header error")});
    EXPECT_FALSE(progressUnderBox);
    EXPECT_FALSE(PathExists(Dir() + "c.pcap"));
}

TEST_F(Progress, CloseBoxMidBatchIsIgnored)
{
    bool closed = true;
    bool midBatch = false;
    // Mid-batch, as the first progress report lets events in, before the
    // progress dialog is up.
    dlg->m_progressTiming = {60000, 0};
    QTimer::singleShot(0, dlg.get(), [&] {
        midBatch = QApplication::overrideCursor() != nullptr;
        closed = dlg->close();
    });
    ClickButton(IDC_START_CONVERSION);
    ASSERT_TRUE(midBatch);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(watcher.Texts(), std::vector<QString>{"Done."});
}
