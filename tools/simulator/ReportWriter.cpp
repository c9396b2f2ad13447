#include "tools/simulator/ReportWriter.h"

#include <array>

namespace {

const std::array projectNames = {"Harbour Patrol", "North Sector", "Bridge Maintenance",
                                 "Airport Logistics", "Emergency Response"};
// A project without members: a leaf of the radio tree.
const char* const emptyProjectName = "Reserve Pool";
const std::array firstNames = {"Ayse",  "Mehmet", "Elif",  "Can",  "Zeynep", "Emre",  "Deniz",
                               "Burak", "Selin",  "Murat", "Ebru", "Kerem",  "Derya", "Onur"};
const std::array surnames = {"Kaya",   "Demir",  "Celik", "Sahin", "Yildiz", "Aydin",
                             "Ozturk", "Arslan", "Dogan", "Kilic", "Aslan",  "Korkmaz"};

} // namespace

void ReportWriter::writeDirectory(int radios, int firstRadioId) {
    begin();
    const int projects = int(projectNames.size());
    for (int p = 0; p < projects; ++p) {
        execute(QStringLiteral("INSERT INTO projects VALUES(%1, '%2')")
                    .arg(p + 1)
                    .arg(QString::fromLatin1(projectNames[p]))
                    .toUtf8());
    }
    execute(QStringLiteral("INSERT INTO projects VALUES(%1, '%2')")
                .arg(projects + 1)
                .arg(QString::fromLatin1(emptyProjectName))
                .toUtf8());

    // People 1..radios carry the reporting radios; the last one carries radio 0.
    for (int person = 1; person <= radios + 1; ++person) {
        const int radioId = person <= radios ? firstRadioId + person - 1 : 0;
        execute(QStringLiteral("INSERT INTO personel_team VALUES(%1, '%2', '%3', %4)")
                    .arg(person)
                    .arg(QString::fromLatin1(firstNames[(person - 1) % firstNames.size()]))
                    .arg(QString::fromLatin1(surnames[(person * 5) % surnames.size()]))
                    .arg(radioId)
                    .toUtf8());
        const int project = (person - 1) % projects + 1;
        execute(QStringLiteral("INSERT INTO project_members VALUES(%1, %2)")
                    .arg(project)
                    .arg(person)
                    .toUtf8());
        // Every fourth person also works in the next project but one.
        if (person % 4 == 0) {
            execute(QStringLiteral("INSERT INTO project_members VALUES(%1, %2)")
                        .arg((project + 1) % projects + 1)
                        .arg(person)
                        .toUtf8());
        }
    }
    // A member whose person record was deleted.
    execute(
        QStringLiteral("INSERT INTO project_members VALUES(1, %1)").arg(radios + 1000).toUtf8());
    commit();
}
