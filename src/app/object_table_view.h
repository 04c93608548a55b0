#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "session/object_table.h"

class ObjectTableModel;
class QMenu;
class QTableView;
class QToolButton;

// The objects of the pool shown side by side with their figures, each column sortable (figures by
// value, those the input does not give last), narrowed by the object filter. Which figure columns
// show is the user's choice, from the header's context menu or the "Columns" button, and kept in
// the settings by column key. Choosing a row asks for that object, as choosing it in the list does.
class ObjectTableView : public QWidget {
    Q_OBJECT
public:
    explicit ObjectTableView(QWidget* parent = nullptr);

    // A new table; the same one again changes nothing.
    void ShowTable(std::shared_ptr<const ornexa::ObjectTable> table);
    // The row of `object` selected and brought into view; none selected for 0 or a hidden object.
    void SelectObject(int object);
    void SetFilterText(const QString& text);

    [[nodiscard]] QTableView* Table() const { return table_; }
    [[nodiscard]] ObjectTableModel* Model() const { return model_; }
    [[nodiscard]] QToolButton* ColumnsButton() const { return columns_; }
    // The menu of checkable columns, as the header's context menu and the button show it.
    [[nodiscard]] QMenu* ColumnsMenu() const { return menu_; }

signals:
    void ObjectChosen(int object);

private:
    void FillColumnsMenu();
    void ShowColumn(int column, bool shown);
    void ApplyHiddenColumns();

    ObjectTableModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QToolButton* columns_ = nullptr;
    QMenu* menu_ = nullptr;
    bool painting_ = false;
    int selectedObject_ = 0;
};
