// Connection and Recordset: the server access the program relies on.
#pragma once

namespace platform {

class Connection final {};
class Recordset final {};

}  // namespace platform
