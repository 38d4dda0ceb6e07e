#include "device_page.h"
#include "product_id.h"

#include <algorithm>

namespace {

PageRow pageFor(const ModelRow &model)
{
    const QString artwork = QString::fromLatin1(model.artwork);
    return { { model.boardId }, &model, QStringLiteral("m") + artwork + QStringLiteral("Widget"),
        artwork + QStringLiteral("Ui"),
        QStringLiteral(":/media/images/pages/") + artwork.toLower() + QStringLiteral(".png") };
}

} // namespace

// Built on first use, so lookups made during static initialisation elsewhere are safe.
const QList<PageRow> &PageTable()
{
    static const QList<PageRow> table = [] {
        QList<PageRow> pages { pageFor(ModelRegistry::Unknown()) };
        for (const ModelRow &model : ModelRegistry::Rows()) {
            if (!model.hasPage())
                continue;
            const PageRow page = pageFor(model);
            auto shared = std::find_if(pages.begin(), pages.end(),
                [&page](const PageRow &p) { return p.formName == page.formName; });
            if (shared != pages.end())
                shared->boardIds.append(model.boardId);
            else
                pages.append(page);
        }
        return pages;
    }();
    return table;
}

const PageRow *FindPageRow(uint32_t boardId)
{
    for (const PageRow &row : PageTable()) {
        if (row.boardIds.contains(boardId))
            return &row;
    }
    return nullptr;
}
