// Identification methods arrive here.
