#include <CLI/CLI.hpp>

int main(int argc, char** argv) {
  CLI::App app{"orvstock: keep the ERP stock master file in a spreadsheet workbook"};
  app.require_subcommand(1);
  app.add_subcommand("version", "Print the library version")->callback([] {
    std::printf("OrvStockExcel: %d.%d.%d\n", ORV_VERSION_MAJOR, ORV_VERSION_MINOR,
                ORV_VERSION_PATCH);
  });
  CLI11_PARSE(app, argc, argv);
  return 0;
}
