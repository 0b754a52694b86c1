// The loaded XML document.
#pragma once

namespace platform {

class XmlDocument final {};

}  // namespace platform
