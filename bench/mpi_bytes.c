/* Counts the bytes that the exchanges of an MPI job move, per process,
 * through the profiling interface: preloaded into each process
 * (bench/mpi_bytes.sh), it adds up what every gather, broadcast and
 * message (MPI_Send, MPI_Recv) sends and receives, and what the one-sided atomic additions by which the
 * processes take chunks of a batch send and fetch (MPI_Fetch_and_op), and,
 * when the job finalizes, writes one line to the file
 * "<MPI_BYTES_OUT>.<rank>" (standard error without MPI_BYTES_OUT).
 * A broadcast counts its bytes once for every process that receives them,
 * whatever tree the library uses. */
#include <mpi.h>
#include <stdio.h>
#include <stdlib.h>

static long long sent, received, calls, fetches;

static long long Bytes(int count, MPI_Datatype type) {
  int size = 0;
  PMPI_Type_size(type, &size);
  return (long long)count * size;
}

static int Rank(MPI_Comm comm) {
  int rank = 0;
  PMPI_Comm_rank(comm, &rank);
  return rank;
}

static int Processes(MPI_Comm comm) {
  int size = 1;
  PMPI_Comm_size(comm, &size);
  return size;
}

int MPI_Gather(const void* sendbuf, int sendcount, MPI_Datatype sendtype, void* recvbuf,
               int recvcount, MPI_Datatype recvtype, int root, MPI_Comm comm) {
  ++calls;
  if (Rank(comm) == root) {
    received += Bytes(recvcount, recvtype) * (Processes(comm) - 1);
  } else {
    sent += Bytes(sendcount, sendtype);
  }
  return PMPI_Gather(sendbuf, sendcount, sendtype, recvbuf, recvcount, recvtype, root, comm);
}

int MPI_Gatherv(const void* sendbuf, int sendcount, MPI_Datatype sendtype, void* recvbuf,
                const int recvcounts[], const int displs[], MPI_Datatype recvtype, int root,
                MPI_Comm comm) {
  ++calls;
  if (Rank(comm) == root) {
    for (int r = 0; r < Processes(comm); ++r) {
      if (r != root) received += Bytes(recvcounts[r], recvtype);
    }
  } else {
    sent += Bytes(sendcount, sendtype);
  }
  return PMPI_Gatherv(sendbuf, sendcount, sendtype, recvbuf, recvcounts, displs, recvtype, root,
                      comm);
}

static void CountBroadcast(int count, MPI_Datatype type, int root, MPI_Comm comm) {
  ++calls;
  if (Rank(comm) == root) {
    sent += Bytes(count, type) * (Processes(comm) - 1);
  } else {
    received += Bytes(count, type);
  }
}

int MPI_Send(const void* buffer, int count, MPI_Datatype type, int destination, int tag,
             MPI_Comm comm) {
  ++calls;
  sent += Bytes(count, type);
  return PMPI_Send(buffer, count, type, destination, tag, comm);
}

int MPI_Recv(void* buffer, int count, MPI_Datatype type, int source, int tag, MPI_Comm comm,
             MPI_Status* status) {
  ++calls;
  received += Bytes(count, type);
  return PMPI_Recv(buffer, count, type, source, tag, comm, status);
}

int MPI_Bcast(void* buffer, int count, MPI_Datatype type, int root, MPI_Comm comm) {
  CountBroadcast(count, type, root, comm);
  return PMPI_Bcast(buffer, count, type, root, comm);
}

int MPI_Ibcast(void* buffer, int count, MPI_Datatype type, int root, MPI_Comm comm,
               MPI_Request* request) {
  CountBroadcast(count, type, root, comm);
  return PMPI_Ibcast(buffer, count, type, root, comm, request);
}

int MPI_Allgather(const void* sendbuf, int sendcount, MPI_Datatype sendtype, void* recvbuf,
                  int recvcount, MPI_Datatype recvtype, MPI_Comm comm) {
  ++calls;
  sent += Bytes(sendcount, sendtype) * (Processes(comm) - 1);
  received += Bytes(recvcount, recvtype) * (Processes(comm) - 1);
  return PMPI_Allgather(sendbuf, sendcount, sendtype, recvbuf, recvcount, recvtype, comm);
}

int MPI_Allgatherv(const void* sendbuf, int sendcount, MPI_Datatype sendtype, void* recvbuf,
                   const int recvcounts[], const int displs[], MPI_Datatype recvtype,
                   MPI_Comm comm) {
  ++calls;
  const int rank = Rank(comm);
  sent += Bytes(sendcount, sendtype) * (Processes(comm) - 1);
  for (int r = 0; r < Processes(comm); ++r) {
    if (r != rank) received += Bytes(recvcounts[r], recvtype);
  }
  return PMPI_Allgatherv(sendbuf, sendcount, sendtype, recvbuf, recvcounts, displs, recvtype,
                         comm);
}

int MPI_Fetch_and_op(const void* origin, void* result, MPI_Datatype type, int target,
                     MPI_Aint displacement, MPI_Op op, MPI_Win win) {
  ++fetches;
  sent += Bytes(1, type);
  received += Bytes(1, type);
  return PMPI_Fetch_and_op(origin, result, type, target, displacement, op, win);
}

int MPI_Finalize(void) {
  const int rank = Rank(MPI_COMM_WORLD);
  const char* prefix = getenv("MPI_BYTES_OUT");
  char path[4096];
  FILE* out = stderr;
  if (prefix != NULL) {
    snprintf(path, sizeof path, "%s.%d", prefix, rank);
    out = fopen(path, "w");
    if (out == NULL) out = stderr;
  }
  fprintf(out,
          "mpi_bytes rank %d: %lld MPI calls, %lld bytes sent, %lld received, "
          "%lld fetches\n",
          rank, calls, sent, received, fetches);
  if (out != stderr) fclose(out);
  return PMPI_Finalize();
}
