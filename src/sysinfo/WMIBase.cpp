#include "sysinfo/WMIBase.h"

#include <stdexcept>
#include <string>

#include "platform/WmiSource.h"

TWMIBase::TWMIBase(WmiSource& source) : source_(source) {}

void TWMIBase::SetActive(bool active) {
  if (active)
    activate();
  else
    deactivate();
}

QString TWMIBase::QueryText() const { return QStringLiteral("SELECT * FROM ") + GetWMIClass(); }

void TWMIBase::ClearValues() { allProperties_.clear(); }

void TWMIBase::LoadInstance(int /*n*/) { ClearValues(); }

const QString& TWMIBase::InstanceText(int n) const {
  if (n < 1 || n > allProperties_.size())
    throw std::out_of_range("no instance " + std::to_string(n) + " among " + std::to_string(allProperties_.size()));
  return allProperties_.at(n - 1);
}

void TWMIBase::activate() {
  // Nothing of an earlier activation may survive: a query that now returns
  // no instance must leave cleared values, not the previous ones.
  deactivate();
  active_ = true;
  try {
    allProperties_ = source_.query(host_, NamespacePath(), QueryText());
  } catch (...) {
    // A probe that could not query holds no results, so it is not active.
    deactivate();
    throw;
  }
  objectsCount_ = static_cast<int>(allProperties_.size());
  if (objectsCount_ == 0) return;
  objectIndex_ = 1;
  LoadInstance(objectIndex_);
}

void TWMIBase::deactivate() {
  active_ = false;
  objectsCount_ = 0;
  objectIndex_ = 0;
  allProperties_.clear();
  ClearValues();
}
