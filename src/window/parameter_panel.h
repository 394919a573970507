#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class QComboBox;

// The tab "Messprogramm - Parameter": the field and decimal separators of the CSV files. The two
// may never be the same character: such a choice is refused with a message and the list shows the
// separator in force again.
class ParameterPanel : public QWidget {
    Q_OBJECT

public:
    // tell: shows a message box (text, style, title) and waits for it.
    explicit ParameterPanel(
        std::function<void(const QString&, int, const QString&)> tell, QWidget* parent = nullptr);

    // Fills both lists and selects their first entries, which sets the separators.
    void FillSeparatorLists();
    void DatenTrenn_Click();
    void DezimalTrenn_Click();

    QString FieldSeparator() const { return fieldSeparator; }
    QString DecimalSeparator() const { return decimalSeparator; }
    // The two list indexes as the settings file keeps them (" 0 0").
    QString SeparatorCode() const { return separatorCode; }
    // Chooses the entries a stored code names; an entry the lists do not hold is left alone.
    void ApplySeparatorCode(const QString& code);

private:
    void RefuseSeparatorPair(QComboBox& list, const QString& kept);
    void UpdateSeparatorCode();

    QComboBox* DatenTrenn = nullptr;
    QComboBox* DezimalTrenn = nullptr;
    std::function<void(const QString&, int, const QString&)> tell;
    QString fieldSeparator = QStringLiteral(";");
    QString decimalSeparator = QStringLiteral(".");
    QString separatorCode = QStringLiteral(" 0 0");
};
