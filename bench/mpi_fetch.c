/* The time a process takes to take a chunk of a batch: an atomic addition
 * on a counter that the first process holds (MPI_Fetch_and_op in a passive
 * epoch, as the parallel run does), while the first process computes
 * without calling MPI, as it does while it applies a batch.  Shows whether
 * the MPI library serves such additions without the first process's help.
 *
 *   mpicc -O2 -o /tmp/mpi_fetch bench/mpi_fetch.c
 *   mpirun --oversubscribe -np 2 /tmp/mpi_fetch
 */
#include <mpi.h>
#include <stdio.h>
#include <stdint.h>
#include <time.h>
static double now(void){ struct timespec t; clock_gettime(CLOCK_MONOTONIC,&t); return t.tv_sec+1e-9*t.tv_nsec; }
int main(int argc, char** argv) {
  int provided; MPI_Init_thread(&argc, &argv, MPI_THREAD_SERIALIZED, &provided);
  int rank, size; MPI_Comm_rank(MPI_COMM_WORLD, &rank); MPI_Comm_size(MPI_COMM_WORLD, &size);
  uint64_t* base; MPI_Win win;
  MPI_Win_allocate(rank == 0 ? 8 * 16 : 0, 8, MPI_INFO_NULL, MPI_COMM_WORLD, &base, &win);
  if (rank == 0) { MPI_Win_lock(MPI_LOCK_EXCLUSIVE, 0, 0, win); for (int i = 0; i < 16; ++i) base[i] = 0; MPI_Win_unlock(0, win); }
  MPI_Barrier(MPI_COMM_WORLD);
  MPI_Win_lock_all(0, win);
  const int n = 20000;
  if (rank == 0) {
    /* busy without calling MPI, as the first process applying a batch */
    volatile double x = 0; double t0 = now(); while (now() - t0 < 3.0) x += 1e-9;
  } else {
    double t0 = now(); uint64_t one = 1, before;
    for (int i = 0; i < n; ++i) { MPI_Fetch_and_op(&one, &before, MPI_UINT64_T, 0, 0, MPI_SUM, win); MPI_Win_flush(0, win); }
    printf("rank %d: %.2f us a fetch-and-add while the first process computes\n", rank, 1e6 * (now() - t0) / n);
  }
  MPI_Win_unlock_all(win); MPI_Win_free(&win);
  MPI_Finalize();
  return 0;
}
