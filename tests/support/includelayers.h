#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

/// Reads the quoted includes of a source tree whose top folders are layers, ordered from
/// the top (the composition root) down, and lists every include that runs from a lower
/// layer up to a higher one. A header is found by its file name anywhere in the tree;
/// includes of headers outside the tree (Qt, the plug-in contract) are not layers.
class IncludeLayers
{
public:
    /// `layers`: the top folders of `root`, highest first.
    IncludeLayers(const QString &root, const QStringList &layers);

    /// One line per include that runs up ("services/wholefile.cpp includes
    /// windows/xwindow.h"), and one per top folder that is not a layer or source file
    /// outside every folder; empty when the tree keeps its order.
    QStringList violations() const;

private:
    /// Relative path of every header in the tree by its file name.
    QMap<QString, QString> headersByName() const;
    int rank(const QString &relativePath) const;
    static QStringList quotedIncludes(const QString &file);

    QString m_root;
    QStringList m_layers;
};
