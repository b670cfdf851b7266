// A time series: values, optional tick marks (one text per value) and a title.
#pragma once

#include <fstream>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "core/object.h"
#include "core/series.h"

// The choices the workbook import dialog would take: the worksheet by name or
// 1-based number (empty: the first), the data column (0: the first column
// holding a number) and the tick-mark column (0: none), 1-based.
struct excel_choice {
    std::string sheet;
    int column = 0;
    int ticks_column = 0;
};

class t_ts : public t_object {
public:
    t_ts();
    // Tick marks "1".."n", has_ticks set.
    explicit t_ts(const series& s);
    // n empty tick marks, has_ticks clear.
    explicit t_ts(const std::vector<double>& v);
    t_ts(const t_ts& o);
    t_ts& operator=(const t_ts& o);
    // Values only: tick list emptied, title emptied, has_ticks unchanged.
    t_ts& operator=(const series& s);
    ~t_ts() override = default;
    // Exchanges everything, tick marks included, which assignment drops
    // when has_ticks is clear.
    void swap(t_ts& o) noexcept;

    int size() const { return m_values->size(); }
    double& operator[](int i) { return (*m_values)[i]; }
    const double& operator[](int i) const { return (*m_values)[i]; }
    series& values() { return *m_values; }
    const series& values() const { return *m_values; }
    double max() const { return m_values->max(); }
    double min() const { return m_values->min(); }

    // Null when the series has no tick marks.
    std::vector<std::string>* ticks() { return m_ticks->empty() ? nullptr : m_ticks.get(); }
    const std::vector<std::string>* ticks() const { return m_ticks->empty() ? nullptr : m_ticks.get(); }
    const std::string& title() const { return m_title; }
    void set_title(const std::string& t) { m_title = t; }
    bool has_ticks() const { return m_has_ticks; }
    void set_has_ticks(bool b) { m_has_ticks = b; }

    // With a list: a copy of it. With nullptr: every existing entry i becomes "i+1".
    void set_ticks(const std::vector<std::string>* list);
    // With a list: each number formatted with "%g". With nullptr: as above.
    void set_ticks(const std::vector<double>* list);

    using excel_choice = ::excel_choice;

    // Reads the series from a file (has_ticks set when it gave tick marks): through the workbook import when
    // names_workbook(path) (an .xls, .xlsx, .xlsm, .ods, .csv or .tsv name, or
    // a file that starts like a workbook), the text data format otherwise.
    // Throws file_exception.
    void load(const std::string& path, const excel_choice& choice = {});

    // The text data reader.
    class ctsstream : public std::ifstream {
    public:
        ctsstream() = default;
        explicit ctsstream(const std::string& path) : std::ifstream(path) {}
        ctsstream& operator>>(t_ts& ts);
    };

    // The workbook reader: loads the file into a CExcel and imports the chosen
    // columns. Throws file_exception, with an empty file name for a missing
    // worksheet or column.
    class excelstream {
    public:
        excelstream(std::string path, excel_choice choice) : m_path(std::move(path)), m_choice(std::move(choice)) {}
        excelstream& operator>>(t_ts& ts);

    private:
        std::string m_path;
        excel_choice m_choice;
    };

private:
    bool m_has_ticks = false;
    std::string m_title;
    std::unique_ptr<std::vector<std::string>> m_ticks;
    std::unique_ptr<series> m_values;
};

// Parses the text data format from any stream into ts (values, ticks, title;
// has_ticks untouched). Throws file_exception with an empty file name when a
// value is not a finite number or a line is longer than 64 MB; the message
// names the line. Header lines after the first value are skipped with one
// notification saying how many and where the first was.
void read_cts(std::istream& in, t_ts& ts);

class CExcel;
// The import of a series from a workbook: on the chosen worksheet the data run
// is the first row whose data cell is a number and the rows after it while
// theirs are too; tick marks come from the same rows of the tick column, as
// "%g" numbers or, when any is text (dates), as the texts. The series is left
// untouched when a choice names no worksheet or column (file_exception with an
// empty file name).
void import_excel(const CExcel& book, const t_ts::excel_choice& choice, t_ts& ts);

// Columns after the value on the lines from first on (0-based): line i gets
// a tab and columns[c][i - first] for each c. The reader takes the value alone.
struct cts_columns {
    int first = 0;
    std::vector<const series*> columns;
};

// Writes the File Save layout: "%" + title, then one line per value, with
// "tick<TAB>value" when has_ticks is set, then the further columns. A value
// is written with the shortest "%g" text that reads back to the same double.
void write_cts(std::ostream& out, const t_ts& ts, const cts_columns& more = {});

// Writes the File Save layout to a file, replacing it atomically; throws
// file_exception with the system's reason when it cannot be written.
void save_cts(const std::string& path, const t_ts& ts, const cts_columns& more = {});
