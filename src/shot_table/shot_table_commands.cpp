#include "shot_table/shot_table_commands.h"

#include "app/shell.h"
#include "shot_table/shot_power_table.h"

namespace shot_table {

constexpr WindowId ShotTableWindow = WindowId::ShotTable;

void showRow(Shell &shell, int distance)
{
    const auto &row = ShotPowerTable.at(size_t(distance - 1));
    for (size_t i = 0; i < AngleColumns.size(); ++i) {
        shell.set(ShotTableWindow, AngleColumns[i].caption, Property::caption,
                  QStringLiteral("%1度：").arg(ShotAngles[i]));
        shell.set(ShotTableWindow, AngleColumns[i].box, Property::text, QString::number(row[i]));
    }
}

void recolour(Shell &shell)
{
    const Colour chosen = shell.get<Colour>(ShotTableWindow, u"颜色选择器1", Property::colour);
    for (const AngleColumn &column : AngleColumns)
        shell.set(ShotTableWindow, column.caption, Property::background_colour, chosen);
    shell.set(ShotTableWindow, u"", Property::background_colour, chosen);
}

void bindCommands(Shell &shell)
{
    shell.bind(Command::DoNothing, [] {});
    shell.bindRows(Command::ShowRow, [&shell](int row) { showRow(shell, row); });
    shell.bind(Command::OpenAngleGuide, [&shell] { shell.load(WindowId::AngleGuide, ShotTableWindow, false); });
    shell.bind(Command::OpenNotepad, [&shell] { shell.load(WindowId::Notepad, std::nullopt, true); });
    shell.bind(Command::RecolourTable, [&shell] { recolour(shell); });
}

}
