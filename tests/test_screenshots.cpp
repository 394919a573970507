// Pictures of every tab in the middle of a running test, written for looking at the layout to the
// folder that TALIV_SCREENSHOTS names (nowhere without it). Each must show something, its graphs
// their curves, and every one-line text on the tab must fit its control.
#include "platform/flex_grid.h"
#include "platform/picture_box.h"
#include "test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <QTabWidget>
#include <QTest>

namespace {

// The one-line text a widget shows and the span (in its own x) that its style leaves for it;
// nothing for texts that wrap or scroll.
std::optional<std::pair<QString, QRect>> TextAndRoom(QWidget* widget)
{
    QStyle* style = widget->style();
    if (auto* label = qobject_cast<QLabel*>(widget); label && !label->wordWrap()) {
        const int margin = label->margin();
        return {{label->text(),
            label->contentsRect().adjusted(margin + qMax(label->indent(), 0), 0, -margin, 0)}};
    }
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect room
            = style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        return {{box->title(), room.adjusted(0, 0, box->width() - room.right() - 1, 0)}};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        const auto element = qobject_cast<QRadioButton*>(button) ? QStyle::SE_RadioButtonContents
                                                                 : QStyle::SE_PushButtonContents;
        return {{button->text(), style->subElementRect(element, &option, button)}};
    }
    if (auto* list = qobject_cast<QComboBox*>(widget)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        const QRect field = style->subControlRect(
            QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        return {{list->currentText(), field.adjusted(0, 0, -4, 0)}};
    }
    if (auto* field = qobject_cast<QLineEdit*>(widget); field && field->isReadOnly()) {
        QStyleOptionFrame option;
        option.initFrom(field);
        option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
        const QRect room = style->subElementRect(QStyle::SE_LineEditContents, &option, field);
        return {{field->text(), room.marginsRemoved(field->textMargins()).adjusted(2, 0, -2, 0)}};
    }
    return std::nullopt;
}

// Every visible text on the page that is cut off, with the pixels it needs and has.
QStringList CutTexts(QWidget* page)
{
    QStringList cut;
    for (QWidget* widget : page->findChildren<QWidget*>()) {
        const auto text = widget->isVisible() ? TextAndRoom(widget) : std::nullopt;
        const int needed = text ? widget->fontMetrics().horizontalAdvance(text->first) : 0;
        if (text && needed > text->second.width())
            cut.append(QString("%1 '%2': needs %3 px, has %4")
                           .arg(widget->metaObject()->className(), text->first)
                           .arg(needed)
                           .arg(text->second.width()));
    }
    return cut;
}

QSet<QRgb> Colours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & RGB_MASK);
    }
    return colours;
}

// The curves' colours: pure red for temperature, black (smoothed at its edges) for viscosity.
bool Red(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}
bool Black(QRgb c)
{
    return qMax(qMax(qRed(c), qGreen(c)), qBlue(c)) < 110;
}

// What a graph shows half-way along its time axis, between two grid lines and above the limit
// line: the grid, the background and the curves, no axis and no label.
QSet<QRgb> MiddleOfGraph(const QImage& graph)
{
    return Colours(graph.copy(graph.width() / 2 - 4, graph.height() / 10, 9, graph.height() / 2));
}

// A 15-minute test with temperature, sampled every 10 s up to 14:50, its viscosity falling from
// 80 % to 30 % above a limit of 25 %; the comparison graph shows it too.
void RunTest(WindowFixture& fixture)
{
    Form1& window = *fixture.window;
    window.TabProtDatei->addItem("Serie7");
    QDir(fixture.folder.path()).mkdir("Serie7");
    window.Text1->setText("Dispersionsfarbe weiß, seidenmatt");
    window.Text2->setText("A-2026-04711");
    window.Text3->setText("CH 58213-B");
    window.Bem1->setText("Probe nach 24 h Lagerung bei Raumtemperatur");
    window.Bem2->setText("Spindel 3, Becher 250 ml");
    window.Bem3->setText("Prüfer: M. Schneider");
    window.TempOnOff[1]->setChecked(true);
    Choose(window.Messzeit, 0);
    Choose(window.MessZyklusTab, 1);
    window.LimitValue[1] = 250;
    fixture.receive("*S11\r");
    for (int sample = 0; sample < 90; ++sample) {
        fixture.receive(QString::asprintf("*I%08d\r*A000000%05d%05.1f\r", sample * 10,
            800 - sample * 500 / 89, 22.4 + sample * 0.015)
                            .toLatin1());
    }
    window.FormatCurveList();
    window.WahlTab->setRows(2);
    for (const auto& [column, text] : {std::pair {0, "00001"}, {1, "1"}, {2, "0"}})
        window.WahlTab->setTextMatrix(1, column, text);
    window.WahlTab->setRow(1);
    window.WahlTab_Click();
}

} // namespace

class ScreenshotsTest : public QObject {
    Q_OBJECT

private slots:
    void everyTabDuringATest_data();
    void everyTabDuringATest();
};

void ScreenshotsTest::everyTabDuringATest_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("1280x800") << QSize(1280, 800);
    QTest::newRow("1600x1000") << QSize(1600, 1000);
    QTest::newRow("1024x720, the size the window opens with") << QSize(1024, 720);
}

void ScreenshotsTest::everyTabDuringATest()
{
    QFETCH(QSize, size);
    ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
    WindowFixture fixture;
    Form1& window = *fixture.window;
    RunTest(fixture);
    QCOMPARE(window.Start[1]->text(), QString("Stop"));
    QCOMPARE(window.MessDauer[1]->text(), QString("00:14:50"));

    const QString shotsFolder = qEnvironmentVariable("TALIV_SCREENSHOTS");
    const QDir shots(shotsFolder);
    QVERIFY(shotsFolder.isEmpty() || shots.mkpath("."));
    window.resize(size);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const int tab : {0, 1, 5, 6, 7}) {
        window.SSTab1->setCurrentIndex(tab);
        const QImage image = window.grab().toImage();
        const QString name
            = QString("tab%1-%2x%3.png").arg(tab).arg(size.width()).arg(size.height());
        QVERIFY(shotsFolder.isEmpty() || image.save(shots.filePath(name)));
        QCOMPARE(image.size() / image.devicePixelRatio(), size);
        QVERIFY2(Colours(image).size() > 32, qPrintable(name));
        const QStringList cut = CutTexts(window.SSTab1->widget(tab));
        QVERIFY2(cut.isEmpty(), qPrintable(name + ":\n" + cut.join('\n')));
        for (PictureBox* graph : window.SSTab1->widget(tab)->findChildren<PictureBox*>()) {
            const QRect place(graph->mapTo(&window, QPoint(0, 0)) * image.devicePixelRatio(),
                graph->size() * image.devicePixelRatio());
            const QSet<QRgb> drawn = MiddleOfGraph(image.copy(place));
            QVERIFY2(std::any_of(drawn.begin(), drawn.end(), Red)
                    && std::any_of(drawn.begin(), drawn.end(), Black),
                qPrintable(name + ": no curves in the middle of the graph"));
        }
    }

    // From the last remark the Tab key goes straight to Stop, past the fields that only show.
    window.SSTab1->setCurrentIndex(1);
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.Bem3->setFocus();
    QTest::keyClick(window.Bem3, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window.Start[1]);
}

QTEST_MAIN(ScreenshotsTest)
#include "test_screenshots.moc"
