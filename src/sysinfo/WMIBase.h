#pragma once

#include <QString>
#include <QStringList>

class WmiSource;

// One WQL query over one management class: keeps the managed-object text of
// every instance returned and loads the values of the first one. The derived
// probes name the class and the namespace and hold the values.
class TWMIBase {
 public:
  explicit TWMIBase(WmiSource& source);
  virtual ~TWMIBase() = default;
  TWMIBase(const TWMIBase&) = delete;
  TWMIBase& operator=(const TWMIBase&) = delete;

  const QString& Host() const { return host_; }
  void SetHost(const QString& host) { host_ = host; }
  bool Active() const { return active_; }
  int ObjectsCount() const { return objectsCount_; }
  // 1-based; 0 while no instance is loaded.
  int ObjectIndex() const { return objectIndex_; }
  const QStringList& AllProperties() const { return allProperties_; }

  // True: queries and loads the first instance returned (throws
  // std::runtime_error when the source cannot answer). False: forgets the
  // results and clears the values.
  virtual void SetActive(bool active);

  virtual QString GetWMIClass() const = 0;
  QString QueryText() const;
  virtual QString NamespacePath() const = 0;
  // Empties the loaded values. The probes override it to clear their values
  // record only: AllProperties must survive it, because LoadInstance clears
  // before it reads.
  virtual void ClearValues();
  // Loads the values of instance n (1-based). The base only clears them.
  virtual void LoadInstance(int n);

 protected:
  // The managed-object text of instance n (1-based); throws
  // std::out_of_range for a number outside the results.
  const QString& InstanceText(int n) const;

 private:
  void activate();
  void deactivate();

  WmiSource& source_;
  QString host_ = QStringLiteral(".");
  bool active_ = false;
  int objectsCount_ = 0;
  int objectIndex_ = 0;
  QStringList allProperties_;
};
