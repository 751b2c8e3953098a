#pragma once
// What the main view asks of the operator through modal windows, behind interfaces so
// tests answer without a modal loop: the item editors and the project file dialogs.
// (Message boxes have their own seam, qtshared/message_box.h.)

#include <QString>
#include <memory>
#include <optional>

#include "shared/item_record.h"

class QWidget;

class ItemEditors {
 public:
  virtual ~ItemEditors() = default;
  // True when an editor exists for the kind.
  virtual bool Handles(item::ItemKind kind) const = 0;
  // Runs the kind's editor, for a new item when `existing` is null, else to modify it.
  // The finished record on OK; nothing on Cancel (or when the kind has no editor).
  virtual std::optional<item::ItemRecord> Edit(item::ItemKind kind,
                                               const item::ItemRecord* existing,
                                               QWidget* parent) = 0;
};

// The modal editor dialogs of every kind that has one.
std::unique_ptr<ItemEditors> MakeDialogEditors();

class ProjectDialogs {
 public:
  virtual ~ProjectDialogs() = default;
  // A chosen path, or nothing on Cancel. `directory` is where the dialog starts.
  virtual std::optional<QString> OpenPath(QWidget* parent, const QString& directory) = 0;
  // Save asks before it overwrites an existing file; names without an extension get ".dat".
  virtual std::optional<QString> SavePath(QWidget* parent, const QString& directory) = 0;
};

// The standard file dialogs with the project filters.
std::unique_ptr<ProjectDialogs> MakeFileDialogs();
