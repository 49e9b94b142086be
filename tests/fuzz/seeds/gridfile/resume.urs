C:\Talks\q3.txt
pnm://a/q3.ra
http://h/q3/
 1.15740740740741E-04 
