// TComponent: the named base of the engine's components.
#pragma once

#include <string>

namespace qm {

class TComponent {
 public:
  TComponent() = default;
  virtual ~TComponent() = default;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  std::string Name;
};

}  // namespace qm
