// The working half of the report document: preparation through the
// engine into the prepared pages.

#include "zdClass_report.h"

#include "Exceptions.h"
#include "SysUtils.h"
#include "zdClass_services.h"
#include "zdCollections.h"
#include "zdDataSets.h"
#include "zdRes.h"
#include "zdUtils.h"

bool TzdReport::Prepare(bool ClearLastReport)
{
    if (ClearLastReport && m_activePreviewPages)
        m_activePreviewPages->Clear();
    m_errorList.clear();
    Terminated = false;
    bool result = false;
    for (int i = 0; i < m_dataSets->Count(); ++i) {
        TzdDataSetItem* item = m_dataSets->GetItem(i);
        if (!item->DataSet())
            AddErrors({plat::Format(zdGetResources()->GetText(QStringLiteral("clDSNotExist")), {item->DataSetName()})});
    }
    if (m_errorList.isEmpty() && m_engine) {
        try {
            result = m_engine->Run(true, false, nullptr);
        } catch (const plat::Exception& e) {
            AddErrors({e.message()});
        }
    }
    if (!m_errorList.isEmpty()) {
        result = false;
        reportErrors();
    }
    return result;
}
