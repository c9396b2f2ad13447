# The about dialog, the main window's custom-painted widgets and the program's
# artwork (drawn by tools/art, compiled in from ui.qrc). Included by ui/CMakeLists.txt.
set(uiwidgets_dir ${CMAKE_CURRENT_LIST_DIR})
add_library(uiwidgets STATIC
    ${uiwidgets_dir}/aboutunit.cpp ${uiwidgets_dir}/aboutunit.h
    ${uiwidgets_dir}/Fonts.cpp ${uiwidgets_dir}/Fonts.h
    ${uiwidgets_dir}/GradientSplitter.cpp ${uiwidgets_dir}/GradientSplitter.h
    ${uiwidgets_dir}/NavPanelHeader.cpp ${uiwidgets_dir}/NavPanelHeader.h
    ${uiwidgets_dir}/OwnerDrawnTabWidget.cpp ${uiwidgets_dir}/OwnerDrawnTabWidget.h
    ${uiwidgets_dir}/SystemFacts.cpp ${uiwidgets_dir}/SystemFacts.h
    ${uiwidgets_dir}/SystemPropertiesDialog.cpp ${uiwidgets_dir}/SystemPropertiesDialog.h
    ${uiwidgets_dir}/ToolbarImages.cpp ${uiwidgets_dir}/ToolbarImages.h
    ${uiwidgets_dir}/UiArtwork.cpp ${uiwidgets_dir}/UiArtwork.h
    ${uiwidgets_dir}/ui.qrc
)
target_link_libraries(uiwidgets PUBLIC Qt6::Widgets)
