// What the accuracy report evaluates: every routine of the library with its
// reference table, its peers in R and Boost, the regions of its domain that
// are reported apart, and how its errors are plotted.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "accuracy/peers.hpp"

namespace accuracy {

using Evaluate = std::function<double(Arguments)>;

// A part of a routine's domain, chosen by its arguments and by the true
// value there (e.g. results below an absolute tolerance).
struct Region {
  std::string name;
  std::function<bool(Arguments, double reference)> contains;
  bool coarse = false;  // where the algorithm is known to be coarse
  // Instead of `contains`: the points where our call reported that BETAF did
  // not converge within its 41 iterations.
  bool slow_convergence = false;
};

struct Routine {
  std::string name;                         // as called, with the tail where there are two
  std::string table;                        // tests/data/accuracy/<table>.txt
  std::vector<std::string> argument_names;  // the leading columns of a row
  int value_column = 0;                     // which reference follows the arguments
  Evaluate ours;
  Evaluate r;
  Evaluate boost;
  std::string r_equivalent;      // what is called in R, for the report
  std::string boost_equivalent;  // what is called in Boost, for the report
  std::vector<Region> regions;   // reported beside the whole table
  // The abscissa of the error plot and whether it is drawn on a log scale.
  std::string plot_label;
  std::function<double(Arguments)> plot_abscissa;
  bool plot_log_x = true;
  // The region whose worst relative error heads the report (-1: the whole
  // table): where the routine is meant to be accurate in relative terms.
  int headline_region = -1;
  // Where set, the abscissa's axis ends a little beyond this value; points
  // beyond it are drawn at it, circled, with a legend entry that says so.
  double plot_x_high = 0.0;
  // A second panel on a linear scale over [zoom_low, zoom_high], when set.
  double zoom_low = 0.0;
  double zoom_high = 0.0;
};

struct Family {
  std::string title;
  std::string plot_file;  // docs/<plot_file>
  std::string note;       // what the reader should know about the family
  std::vector<Routine> routines;
};

std::vector<Family> Catalogue();

// The precise family's normal distribution (catalogue_normal.cpp).
Family NormalFamily();

// The precise beta, t, F and binomial distributions (catalogue_beta_family.cpp).
Family PreciseBetaFamily();

// The precise gamma and Poisson distributions (catalogue_gamma.cpp).
Family GammaDistributionFamily();
Family NonCentralChiSquaredFamily();

}  // namespace accuracy
