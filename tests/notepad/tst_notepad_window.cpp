// The notepad as the player uses it: its menu, the real file dialogs, the note files on disk, the
// error messages, and its turns with the help window.
#include "../support/program.h"
#include "forms/gbk.h"
#include "notepad/note_file.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>

using namespace notepad;

namespace {

// Answers the next modal window of type W as soon as it is up (the file dialog, a message box).
template <class W> void answerNext(std::function<void(W *)> answer)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
        if (auto *w = qobject_cast<W *>(QApplication::activeModalWidget()); w && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(w);
        }
    });
    timer->start();
}

// The file dialog's accept button ("打开" or "保存").
QAbstractButton *acceptButton(QFileDialog *dialog)
{
    for (QAbstractButton *b : dialog->findChild<QDialogButtonBox *>()->buttons())
        if (dialog->findChild<QDialogButtonBox *>()->buttonRole(b) == QDialogButtonBox::AcceptRole)
            return b;
    return nullptr;
}

// Chooses a name in the file dialog as the player does: types it into the name field and clicks the
// accept button.
void typeIntoFileDialog(const QString &path)
{
    answerNext<QFileDialog>([path](QFileDialog *dialog) {
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        dialog->setDirectory(QFileInfo(path).absolutePath()); // the player goes to the note's folder
        QTest::qWait(100);                                    // and sees its files listed
        name->clear();
        const QString fileName = QFileInfo(path).fileName();
        bool ascii = true;
        for (QChar c : fileName)
            ascii = ascii && c.unicode() < 0x80;
        if (ascii)
            QTest::keyClicks(name, fileName);
        else
            name->setText(fileName); // what an input method hands to the field
        // The name field offers completions in a pop-up; the player ignores it.
        QTest::qWait(20);
        if (QCompleter *completer = name->completer(); completer && completer->popup()->isVisible())
            completer->popup()->hide();
        QTest::mouseClick(acceptButton(dialog), Qt::LeftButton);
    });
}

void cancelFileDialog()
{
    answerNext<QFileDialog>([](QFileDialog *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
}

// Closes the next error message box and keeps its text.
void acceptMessage(QString *text)
{
    answerNext<QMessageBox>([text](QMessageBox *box) {
        *text = box->text();
        box->accept();
    });
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

}

class TestNotepadWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<Program> p;
    QTemporaryDir dir;
    QString at(const QString &name) const { return dir.filePath(name); }

    void menu(QStringView item)
    {
        auto *window = static_cast<LiveWindow *>(p->window(WindowId::Notepad));
        QVERIFY(window);
        for (QAction *entry : window->menuBar()->actions())
            for (QAction *action : entry->menu()->actions())
                if (action->text() == item) {
                    action->trigger();
                    return;
                }
        QFAIL("no such menu item");
    }
    QPlainTextEdit *box() const { return p->control<QPlainTextEdit>(WindowId::Notepad, u"编辑框1"); }

    void openNote(const QString &path)
    {
        typeIntoFileDialog(path);
        menu(u"打开");
    }
    void saveNote(const QString &path)
    {
        typeIntoFileDialog(path);
        menu(u"保存");
    }

private slots:
    void initTestCase()
    {
        prepareTestApplication();
        QVERIFY(dir.isValid());
    }
    void init()
    {
        p = std::make_unique<Program>();
        (*p)->load(WindowId::ShotTable);
        (*p)->load(WindowId::Notepad, WindowId::ShotTable); // modeless, so each test drives it directly
    }
    void cleanup()
    {
        CloseNoteFile(NoteFileNumber);
        NoteFileNumber = 0;
        p.reset();
        Program::settle();
        QCOMPARE(noteFiles().openCount(), 0);
    }

    void saveWritesGbkWithCrLfUnderTheNameWithTxtAppended_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("two lines") << "第一行\n2nd" << QByteArray("\xb5\xda\xd2\xbb\xd0\xd0\r\n2nd");
        QTest::newRow("empty box") << "" << QByteArray();
        QTest::newRow("outside GBK") << QStringLiteral("€ 한 😀") << gbk::encode(QStringLiteral("€ 한 😀"));
    }
    void saveWritesGbkWithCrLfUnderTheNameWithTxtAppended()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const QString name = at(QStringLiteral("note %1").arg(QTest::currentDataTag()));
        box()->setPlainText(text);
        saveNote(name);
        QCOMPARE(bytesOf(name + ".txt"), bytes);
        QVERIFY(!QFile::exists(name));
        QCOMPARE(box()->toPlainText(), text); // 保存 leaves the box alone

        // And back through 打开.
        menu(u"关闭");
        QVERIFY(box()->toPlainText().isEmpty());
        openNote(name + ".txt");
        QCOMPARE(box()->toPlainText(), text);
    }

    void savingOntoAnExistingTxtWritesTxtTxt()
    {
        const QString a = at("a.txt");
        writeBytes(a, "old a");
        box()->setPlainText("new");
        bool asked = false;
        answerNext<QFileDialog>([&](QFileDialog *dialog) {
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(a);
            answerNext<QMessageBox>([&](QMessageBox *question) { // "a.txt already exists": replace it
                asked = true;
                question->button(QMessageBox::Yes)->click();
            });
            acceptButton(dialog)->click();
        });
        menu(u"保存");
        QVERIFY(asked);
        QCOMPARE(bytesOf(a), QByteArray("old a"));
        QCOMPARE(bytesOf(a + ".txt"), QByteArray("new"));
    }

    void openShowsTheNoteCutByTheScanningRule()
    {
        const QString path = at(QStringLiteral("带 空格 的笔记.txt"));
        writeBytes(path, QByteArray("abc\r\n\xc4\xe3\xba\xc3", 9) + QByteArray("\x00tail", 5));
        openNote(path);
        QCOMPARE(box()->toPlainText(), QStringLiteral("abc\n你好"));
        QVERIFY(NoteFileNumber != 0);
        QCOMPARE(QDir::current(), QDir(dir.path())); // the program's folder moved to the note's
    }

    void cancelledDialogsChangeNothing()
    {
        const QString path = at("kept.txt");
        writeBytes(path, "kept");
        openNote(path);
        const int held = NoteFileNumber;
        box()->setPlainText("typed since");

        cancelFileDialog();
        menu(u"打开");
        QCOMPARE(box()->toPlainText(), QStringLiteral("typed since"));
        QCOMPARE(NoteFileNumber, held);
        QVERIFY(noteFiles().isOpen(held));

        cancelFileDialog();
        menu(u"保存"); // would be kept.txt.txt: nothing is written
        QVERIFY(!QFile::exists(path + ".txt"));
        QCOMPARE(bytesOf(path), QByteArray("kept"));
    }

    void failuresAreToldAndLoseNothing_data()
    {
        QTest::addColumn<QString>("action"); // what the player does
        QTest::addColumn<QString>("reason"); // what the message must say
        QTest::newRow("open a read-only note") << "open read-only" << "只读";
        QTest::newRow("save onto the note 打开 holds") << "save held" << "记事本";
        QTest::newRow("save into a folder that is gone") << "save folder gone" << "文件夹";
        QTest::newRow("open a note another program locks") << "open locked" << "";
    }
    void failuresAreToldAndLoseNothing()
    {
        QFETCH(QString, action);
        QFETCH(QString, reason);
        const QString held = at("held.txt");
        writeBytes(held, "held note");
        openNote(held);
        const int heldNumber = NoteFileNumber;
        box()->setPlainText("unsaved words");

        QString message;
        if (action != "save folder gone")
            acceptMessage(&message);
        QString named;
        if (action == "open read-only") {
            named = at("ro.txt");
            writeBytes(named, "read only");
            QFile::setPermissions(named, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
            openNote(named);
        } else if (action == "save held") {
            named = held;
            saveNote(at("held")); // held + ".txt" is the file 打开 holds
        } else if (action == "save folder gone") {
            // The folder goes while the player is choosing: the dialog warns and stays, the player cancels.
            QDir(dir.path()).mkdir("gone");
            named = at("gone/n");
            answerNext<QFileDialog>([&](QFileDialog *dialog) {
                dialog->setDirectory(at("gone"));
                QTest::qWait(100);
                auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                name->clear();
                QTest::keyClicks(name, "n");
                QDir(at("gone")).removeRecursively();
                answerNext<QMessageBox>([&, dialog](QMessageBox *warning) {
                    message = warning->text();
                    warning->accept();
                    QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
                });
                acceptButton(dialog)->click();
            });
            menu(u"保存");
            QVERIFY(!QFile::exists(named + ".txt"));
        } else {
            named = at("locked.txt");
            writeBytes(named, "locked");
            NoteFiles other; // another holder of the file: saving must fail, opening may share it
            NoteError ignored;
            const int number = other.open(named, &ignored);
            QVERIFY(number != 0);
            openNote(named);
            QCOMPARE(box()->toPlainText(), QStringLiteral("locked")); // a shared hold does not stop reading
            QTRY_VERIFY(message.isEmpty());
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!message.isEmpty(), 3000);
        QVERIFY2(message.contains(reason), qPrintable(message));
        QVERIFY2(message.contains(QFileInfo(named).fileName()) || message.contains("gone"), qPrintable(message));
        QCOMPARE(box()->toPlainText(), QStringLiteral("unsaved words"));
        QCOMPARE(NoteFileNumber, heldNumber);
        QVERIFY(noteFiles().isOpen(heldNumber));
        QCOMPARE(bytesOf(held), QByteArray("held note"));
    }

    void anOpenReleasesTheFileHeldBefore()
    {
        writeBytes(at("one.txt"), "one");
        writeBytes(at("two.txt"), "two");
        openNote(at("one.txt"));
        const int first = NoteFileNumber;
        openNote(at("two.txt"));
        QVERIFY(!noteFiles().isOpen(first));
        menu(u"关闭");
        QCOMPARE(noteFiles().openCount(), 0);
        // one.txt is free again: it can be saved onto.
        box()->setPlainText("replaced");
        saveNote(at("one"));
        QCOMPARE(bytesOf(at("one.txt")), QByteArray("replaced"));
        menu(u"关闭"); // a second 关闭 only empties the box
        QVERIFY(box()->toPlainText().isEmpty());
    }

    void closeInANotepadBroughtBackByTheHelpWindowClosesTheEarlierFile()
    {
        writeBytes(at("earlier.txt"), "earlier");
        openNote(at("earlier.txt"));
        const int number = NoteFileNumber;
        menu(u"查看帮助");
        Program::settle();
        QVERIFY((*p)->isLive(WindowId::NotepadHelp));
        auto *help = p->control<QPlainTextEdit>(WindowId::NotepadHelp, u"编辑框1");
        QCOMPARE(gbk::encode(help->toPlainText().replace("\n", "\r\n")).size(), 124);
        help->setPlainText("scribbled");

        p->click(WindowId::NotepadHelp, u"按钮1");
        Program::settle();
        QVERIFY(box()->toPlainText().isEmpty());
        QVERIFY(noteFiles().isOpen(number));
        menu(u"关闭");
        QVERIFY(!noteFiles().isOpen(number));

        // The help text is fresh on the next load.
        menu(u"查看帮助");
        Program::settle();
        QVERIFY(p->control<QPlainTextEdit>(WindowId::NotepadHelp, u"编辑框1")->toPlainText().startsWith(
            QString(23, ' ') + QStringLiteral("帮助\n（1）")));
    }

    void escInTheBoxClosesTheNotepadAndKeepsTheFile()
    {
        writeBytes(at("esc.txt"), "esc");
        openNote(at("esc.txt"));
        const int number = NoteFileNumber;
        QTest::keyClick(box(), Qt::Key_Escape);
        Program::settle();
        QVERIFY(!(*p)->isLive(WindowId::Notepad));
        QCOMPARE(NoteFileNumber, number);
        QVERIFY(noteFiles().isOpen(number));
    }
};

QTEST_MAIN(TestNotepadWindow)
#include "tst_notepad_window.moc"
