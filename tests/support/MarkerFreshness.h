#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

class Tcoor_pos;

// Checks, after each last-position run of the window, that every marker
// shows its radio's newest report committed before the run began, or one
// committed since (the run reads the table again for each radio, so a commit
// in the middle of a run shows for the radios after it). It follows the
// database with a connection of its own, reading only the rows appended
// since the last run, and asks the page for its markers; the comparison is
// made when the page answers.
class MarkerFreshness : public QObject {
    Q_OBJECT
public:
    MarkerFreshness(Tcoor_pos& window, const QString& database);
    ~MarkerFreshness() override;

    // Entries 1 to 255 of the selection that have reports, as the view reads them.
    QList<qint32> viewedRadios() const;

    void runStarting();
    void runEnded(const QString& name);

    int runsChecked() const { return checked_; }
    int runsAnswered() const { return answered_; }
    int runsAllShown() const { return allShown_; }
    qint64 markersChecked() const { return markersChecked_; }
    qint64 markersBehind() const { return markersBehind_; }
    const QString& firstProblem() const { return firstProblem_; }

private:
    class Reader;
    struct Report {
        qint64 id;
        QString pair;
    };

    void compare(const QString& run, const QStringList& shown, const QList<qint32>& radios,
                 const QList<QStringList>& allowed);

    Tcoor_pos& window_;
    std::unique_ptr<Reader> reader_;
    // Each radio's newest report at the start, then those appended since, oldest first.
    std::map<qint32, std::vector<Report>> reports_;
    qint64 lastRead_ = 0;
    qint64 beforeRun_ = 0;
    int checked_ = 0;
    int answered_ = 0;
    int allShown_ = 0;
    qint64 markersChecked_ = 0;
    qint64 markersBehind_ = 0;
    QString firstProblem_;
};
