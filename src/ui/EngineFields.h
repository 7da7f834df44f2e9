// The group "Motore" of the waves' dialog: what the waves need to know of the engine besides the
// window's five figures, a row each, with its unit, read as the construction dialog's figures are.
#pragma once

#include "ui/BendFields.h"
#include "waves/Engine.h"

#include <QGroupBox>
#include <QStringView>

#include <array>
#include <vector>

class QLineEdit;

namespace scaricometro {

struct EngineField {
    QStringView caption;  // names the field in messages
    QStringView unit;
    QStringView name;     // for screen readers: the caption and its unit
    double waves::EngineFigures::*value;
    QStringView example;  // a number the field would take
    QStringView tip;
};

// In the order of the rows and of the tab.
inline constexpr std::array kEngineFields{
    EngineField{u"Alesaggio", u"mm", u"Alesaggio (mm)", &waves::EngineFigures::boreMm, u"54",
                u"Il diametro del cilindro"},
    EngineField{u"Biella", u"mm", u"Biella (mm)", &waves::EngineFigures::rodMm, u"110",
                u"La lunghezza della biella tra i centri degli occhi, più della metà della corsa"},
    EngineField{u"Rapporto di compressione", u": 1", u"Rapporto di compressione",
                &waves::EngineFigures::compressionRatio, u"12,5",
                u"Il volume del cilindro col pistone al punto morto inferiore diviso per quello al punto morto "
                u"superiore, più di 1"},
    EngineField{u"Larghezza luce di scarico", u"mm", u"Larghezza luce di scarico (mm)",
                &waves::EngineFigures::portWidthMm, u"28",
                u"La larghezza della luce di scarico misurata lungo la parete del cilindro, non più dell'alesaggio"},
    EngineField{u"Gradi travasi", u"gradi", u"Gradi travasi", &waves::EngineFigures::transferDuration, u"130",
                u"Per quanti gradi di manovella i travasi restano aperti, non più dei gradi di scarico"},
    EngineField{u"Pressione allo scarico", u"bar assoluti", u"Pressione allo scarico (bar assoluti)",
                &waves::EngineFigures::releasePressureBar, u"5",
                u"La pressione nel cilindro quando la luce di scarico si apre, assoluta: più di quella "
                u"atmosferica, 1,01325 bar"},
};

class EngineFields : public QGroupBox {
    Q_OBJECT

public:
    explicit EngineFields(QWidget* parent);

    // The figures as typed; a field that cannot be read is taken as its default, and its problem
    // added to `problems`, in the order of the rows.
    [[nodiscard]] waves::EngineFigures read(std::vector<FieldProblem>& problems) const;
    [[nodiscard]] QLineEdit* field(double waves::EngineFigures::*value) const;

Q_SIGNALS:
    void edited();
    // Return or Enter pressed in a field.
    void entered();

protected:
    // Return in a field is the field's alone: passed on, it would press the default button of
    // whatever the dialog shows, the message about the field among them.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLineEdit*, kEngineFields.size()> m_fields{};
};

}  // namespace scaricometro
