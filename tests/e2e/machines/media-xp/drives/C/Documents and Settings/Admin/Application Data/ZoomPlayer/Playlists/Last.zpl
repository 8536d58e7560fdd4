NM=trip.avi
