// Building the structure tree from a document: every name once per parent, the first
// occurrence winning with its subtree.
#pragma once

#include "StructureNodes.h"

namespace platform {
class XmlDocument;
}

// Loads the document unless it is loaded, and returns its structure: the root element's
// node, then every node in pre-order. Throws platform::XmlError when the document cannot be
// loaded.
StructureNodes BuildStructureTree(platform::XmlDocument& document);
