#pragma once
// Largest and smallest values of a scalar law of one input on a closed interval.
class law;

// The parameter in [a, b] (either order) where f is largest: the best of a, b, the zeros of f'
// and the singular points of f in the interval; ties keep the earlier of these.
double Nmax(law *f, double a, double b);
// The parameter where f is smallest: Nmax of -f.
double Nmin(law *f, double a, double b);

// The parameter of the smallest of `samples` evenly spaced values (a alone when samples is 1 or
// less), refined by a compass search kept inside [a, b] that starts with the given step and
// stops once the value falls below tol.
double Nmin_quick(law *f, double a, double b, int samples, double step, double tol);
// Nmin_quick of -f.
double Nmax_quick(law *f, double a, double b, int samples, double step, double tol);
