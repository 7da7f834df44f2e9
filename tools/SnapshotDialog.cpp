#include "SnapshotDialog.h"

#include "model/NumberText.h"
#include "views/QtText.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>

#include <algorithm>

std::optional<SectionsOption> sectionsOption(const QString& option)
{
    SectionsOption sections;
    const QRegularExpression form(QStringLiteral("^([LD][1-6])=(-?[0-9]+(?:\\.[0-9]+)?)$"));
    for (const QString& given : option.split(u',', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = form.match(given);
        const auto figure = std::ranges::find_if(scaricometro::kSectionFigures, [&](const scaricometro::SectionFigure& f) {
            return match.hasMatch() && scaricometro::fromView(f.name) == match.captured(1);
        });
        if (figure == scaricometro::kSectionFigures.end())
            return std::nullopt;
        sections.emplace_back(static_cast<std::size_t>(figure - scaricometro::kSectionFigures.begin()),
                              match.captured(2).replace(u'.', u','));
    }
    return sections;
}

bool typeSections(scaricometro::Form1& window, const SectionsOption& sections, QTextStream& err)
{
    window.openChamberConstruction();
    auto* dialog = window.findChild<scaricometro::ChamberConstructionDialog*>();
    const auto* fields = dialog->findChild<scaricometro::SectionFields*>();
    for (const auto& [figure, text] : sections)
        fields->field(figure)->setText(text);
    // What the dialog took, read back from the chamber as built.
    const std::optional<scaricometro::ChamberFigures> figures = window.chamberFigures();
    for (const auto& [figure, text] : sections) {
        if (!figures || !fields->holds(figure, figures->chamber.dimensions().*scaricometro::kSectionFigures[figure].value)) {
            err << "the dialog refuses " << scaricometro::fromView(scaricometro::kSectionFigures[figure].name) << " = "
                << text << '\n';
            return false;
        }
    }
    return true;
}

scaricometro::ChamberConstructionDialog* dialogWithBends(scaricometro::Form1& window, const scaricometro::ChamberBends& bends)
{
    window.openChamberConstruction();
    auto* dialog = window.findChild<scaricometro::ChamberConstructionDialog*>();
    const auto number = [](double value) { return QString::fromStdString(scaricometro::formatDecimalComma(value)); };
    for (std::size_t i = 0; i < bends.size(); ++i) {
        const QString section = scaricometro::fromView(scaricometro::kChamberSections[i].length);
        for (QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
            if (field->accessibleName() == QStringLiteral("Curva %1 (gradi)").arg(section))
                field->setText(number(bends[i].degrees));
            if (field->accessibleName() == QStringLiteral("Piano %1 (gradi)").arg(section))
                field->setText(number(bends[i].plane));
        }
        for (QSpinBox* pieces : dialog->findChildren<QSpinBox*>()) {
            if (pieces->accessibleName() == QStringLiteral("Pezzi %1").arg(section))
                pieces->setValue(bends[i].pieces);
        }
    }
    return dialog;
}

std::optional<FitOption> fitOption(const QString& fit, const QString& free)
{
    const QRegularExpression form(QStringLiteral("^(-?[0-9.]+),(-?[0-9.]+),(-?[0-9.]+)(?:@(-?[0-9.]+),(-?[0-9.]+))?$"));
    const QRegularExpressionMatch match = form.match(fit);
    if (!match.hasMatch())
        return std::nullopt;
    FitOption option;
    const QStringList names{QStringLiteral("Uscita voluta X (mm)"), QStringLiteral("Uscita voluta Y (mm)"),
                            QStringLiteral("Uscita voluta Z (mm)"), QStringLiteral("Direzione voluta in pianta (gradi)"),
                            QStringLiteral("Direzione voluta, inclinazione (gradi)")};
    for (int i = 0; i < names.size(); ++i) {
        bool isNumber = false;
        const double value = match.captured(i + 1).toDouble(&isNumber);
        if (!match.captured(i + 1).isEmpty() && !isNumber)
            return std::nullopt;
        option.fields.emplace_back(names[i], isNumber ? QString::fromStdString(scaricometro::formatDecimalComma(value)) : QString());
    }
    option.free = free.isEmpty() ? QStringList{QStringLiteral("L1"), QStringLiteral("L2"), QStringLiteral("L3"), QStringLiteral("L5")}
                                 : free.split(u',');
    for (const QString& section : option.free) {
        if (std::ranges::none_of(scaricometro::kChamberSections,
                                 [&](const scaricometro::ChamberSection& s) { return scaricometro::fromView(s.length) == section; }))
            return std::nullopt;
    }
    return option;
}

std::optional<scaricometro::ChamberBends> fittedBends(scaricometro::Form1& window, const scaricometro::ChamberBends& bends,
                                                      const FitOption& fit, QTextStream& out, QTextStream& err,
                                                      QImage* picture)
{
    scaricometro::ChamberConstructionDialog* dialog = dialogWithBends(window, bends);
    for (const auto& [name, text] : fit.fields) {
        for (QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
            if (field->accessibleName() == name)
                field->setText(text);
        }
    }
    for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
        if (box->accessibleName().startsWith(QStringLiteral("Curvabile ")))
            box->setChecked(fit.free.contains(box->text()));
    }
    QEventLoop search;
    QObject::connect(dialog, &scaricometro::ChamberConstructionDialog::searchFinished, &search, &QEventLoop::quit);
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("Trova le curve"))
            button->click();
    }
    if (dialog->isSearching())
        search.exec();
    if (picture) {
        dialog->resize(dialog->sizeHint());
        *picture = dialog->grab().toImage();
    }
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        // The note under the preview, which the search's outcome, named for screen readers, is not.
        if (label->wordWrap() && label->accessibleName().isEmpty() && label->isVisibleTo(dialog)) {
            err << label->text() << '\n';
            return std::nullopt;
        }
    }
    scaricometro::ChamberBends found = bends;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const QString section = scaricometro::fromView(scaricometro::kChamberSections[i].length);
        QString degrees;
        QString plane;
        for (QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
            if (field->accessibleName() == QStringLiteral("Curva %1 (gradi)").arg(section))
                degrees = field->text();
            if (field->accessibleName() == QStringLiteral("Piano %1 (gradi)").arg(section))
                plane = field->text();
        }
        int pieces = 0;
        for (QSpinBox* spin : dialog->findChildren<QSpinBox*>()) {
            if (spin->accessibleName() == QStringLiteral("Pezzi %1").arg(section))
                pieces = spin->value();
        }
        found[i] = {scaricometro::parseDecimalComma(degrees.toStdString()).value_or(0), pieces,
                    scaricometro::withinTurn(scaricometro::parseDecimalComma(plane.toStdString()).value_or(0))};
        out << "curva " << section << ": " << degrees << " gradi in " << pieces << " pezzi, piano " << plane << '\n';
    }
    dialog->reject();
    return found;
}

