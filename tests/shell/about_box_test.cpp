#include "shell/about_box.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The About box on the offscreen platform, with the date handed in.
class AboutBoxTest : public QObject {
    Q_OBJECT

private:
    static QString copyrightOf(const QWidget& box)
    {
        const auto* label = box.findChild<QLabel*>(QStringLiteral("lblCopyright"));
        return label ? label->text() : QStringLiteral("<no lblCopyright>");
    }

    // Answers the next modal About box: notes its copyright line, then presses Enter.
    void answerNextBox(QStringList& seen)
    {
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [poll, &seen] {
            auto* box = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen << copyrightOf(*box) << box->parentWidget()->objectName();
            QTest::keyClick(box, Qt::Key_Return);
            poll->deleteLater();
        });
        poll->start(10);
    }

private Q_SLOTS:
    void cleanup() { frmAbout::clock = {}; }

    void copyrightLineFollowsTheYear_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("expected");
        QTest::newRow("in 2000, the designed single year")
            << QDate(2000, 12, 31) << QStringLiteral("Copyright (C) 2000 Nimbolt Software");
        QTest::newRow("first day of 2001") << QDate(2001, 1, 1)
                                           << QStringLiteral("Copyright (C) 2000 - 2001 Nimbolt Software");
        QTest::newRow("2026") << QDate(2026, 7, 4) << QStringLiteral("Copyright (C) 2000 - 2026 Nimbolt Software");
    }
    void copyrightLineFollowsTheYear()
    {
        QFETCH(QDate, today);
        QFETCH(QString, expected);
        frmAbout box(nullptr, [today] { return today; });
        QCOMPARE(copyrightOf(box), expected);
    }

    void yearIsTakenAtEachShowing()
    {
        QWidget owner;
        owner.setObjectName(QStringLiteral("owner"));
        owner.show();
        QDate today(2026, 12, 31);
        frmAbout::clock = [&today] { return today; };

        QStringList seen;
        answerNextBox(seen);
        frmAbout::showModal(&owner);
        today = QDate(2027, 1, 1);
        answerNextBox(seen);
        frmAbout::showModal(&owner);

        QCOMPARE(seen, (QStringList{QStringLiteral("Copyright (C) 2000 - 2026 Nimbolt Software"),
                                    QStringLiteral("owner"),
                                    QStringLiteral("Copyright (C) 2000 - 2027 Nimbolt Software"),
                                    QStringLiteral("owner")}));
        // Each showing destroyed its box when it closed.
        QVERIFY(owner.findChildren<frmAbout*>().isEmpty());
    }

    void keysThatClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter") << int(Qt::Key_Return) << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << true;
        QTest::newRow("a letter") << int(Qt::Key_A) << false;
        QTest::newRow("an arrow") << int(Qt::Key_Down) << false;
    }
    void keysThatClose()
    {
        QFETCH(int, key);
        QFETCH(bool, closes);
        frmAbout box(nullptr, [] { return QDate(2026, 1, 1); });
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::keyClick(&box, Qt::Key(key));
        QCOMPARE(box.isVisible(), !closes);
    }

    void okButtonCloses()
    {
        frmAbout box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        auto* ok = box.findChild<QPushButton*>(QStringLiteral("cmdOK"));
        QVERIFY(ok);
        QVERIFY(ok->isDefault());
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void windowAsDesigned()
    {
        frmAbout box;
        QCOMPARE(box.windowTitle(), QStringLiteral("About Nimbolt Sketch"));
        QCOMPARE(box.size(), QSize(419, 300));
        QCOMPARE(box.minimumSize(), box.maximumSize());
        QVERIFY(box.isModal());
        QVERIFY(!(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(!box.windowIcon().isNull());
        QVERIFY(box.windowIcon().availableSizes().contains(QSize(32, 32)));
    }

    void controlsAsDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<qreal>("points");
        QTest::addColumn<bool>("bold");
        QTest::newRow("lblTitle") << QStringLiteral("lblTitle") << QRect(168, 16, 229, 48) << 20.25 << true;
        QTest::newRow("Label1") << QStringLiteral("Label1") << QRect(168, 72, 225, 25) << 14.25 << true;
        QTest::newRow("lblVersion") << QStringLiteral("lblVersion") << QRect(168, 112, 227, 23) << 9.75 << true;
        QTest::newRow("lblDisclaimer") << QStringLiteral("lblDisclaimer") << QRect(8, 144, 393, 79) << 8.25 << false;
        QTest::newRow("lblCopyright") << QStringLiteral("lblCopyright") << QRect(32, 240, 257, 23) << 8.25 << false;
        QTest::newRow("lblAllRightsReserved")
            << QStringLiteral("lblAllRightsReserved") << QRect(32, 264, 257, 17) << 8.25 << false;
        QTest::newRow("cmdOK") << QStringLiteral("cmdOK") << QRect(312, 248, 84, 39) << 8.25 << false;
    }
    void controlsAsDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(qreal, points);
        QFETCH(bool, bold);
        frmAbout box;
        auto* control = box.findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), rect);
        QCOMPARE(control->font().pointSizeF(), points);
        QCOMPARE(control->font().weight(), bold ? QFont::Bold : QFont::Normal);
        // The alias of the installed look-alike must catch the family.
        QVERIFY2(QFontInfo(control->font()).family().contains(QStringLiteral("Comic")),
                 qPrintable(QFontInfo(control->font()).family()));
    }

    void logoAndTextsShown()
    {
        frmAbout box;
        auto* image = box.findChild<QLabel*>(QStringLiteral("Image1"));
        QVERIFY(image);
        QCOMPARE(image->geometry(), QRect(8, 8, 140, 112));
        QVERIFY(!image->pixmap().isNull());
        QCOMPARE(image->pixmap().size(), QSize(136, 108));
        QVERIFY(image->hasScaledContents());
        // The legal paragraph must fit its label once wrapped.
        auto* disclaimer = box.findChild<QLabel*>(QStringLiteral("lblDisclaimer"));
        QVERIFY(disclaimer->wordWrap());
        QVERIFY(disclaimer->text().contains(QStringLiteral("copying")));
        QVERIFY(disclaimer->heightForWidth(disclaimer->width()) <= disclaimer->height());
    }

    void etchedRuleIsGreyOverWhite()
    {
        frmAbout box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QImage image = box.grab().toImage();
        for (int x : {6, 200, 407}) {
            QCOMPARE(image.pixelColor(x, 227), QColor(128, 128, 128));
        }
        for (int x : {7, 200, 407}) {
            QCOMPARE(image.pixelColor(x, 228), QColor(Qt::white));
            QCOMPARE(image.pixelColor(x, 229), QColor(Qt::white));
        }
        QCOMPARE(image.pixelColor(200, 226), box.palette().color(QPalette::Window));
        QCOMPARE(image.pixelColor(200, 230), box.palette().color(QPalette::Window));
    }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
