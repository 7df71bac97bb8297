#include "shell/state/ProjectXml.h"

std::vector<TXmlNode> Element_Children(const TXmlNode& node) {
    std::vector<TXmlNode> elements;
    const TXmlNodeList children = node.ChildNodes();
    for (int i = 0; i < children.Count(); ++i)
        if (children[i].NodeType() == ntElement) elements.push_back(children[i]);
    return elements;
}
